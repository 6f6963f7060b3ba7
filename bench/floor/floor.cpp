// The floor: a bare Qt 6 window of the main window's size with a 100 ms timer and nothing else.
//
// It is what any Qt Widgets program of this size costs to start, to keep in memory and to keep
// awake ten times a second; bench/run.sh measures it beside the game and prints the ratio.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setFixedSize(354, 414);   // the main window's client size in pixels
    unsigned long ticks = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);   // the game's window timers are precise too
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(100);
    window.show();
    return app.exec();
}
