// The real program, whose main window is asked to close as soon as it has been painted: a close
// request like the one a session sends at logout, which the game answers as any other (it stops
// the music and ends with status 0). For starts checked from outside where nothing can click or
// type in the window, such as a headless Wayland compositor. It prints, before closing:
//   platform <the Qt platform plugin in use>
//   shown <width>x<height>
#include "App.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMetaObject>
#include <QWidget>

#include <cstdio>

namespace {

class CloseWhenPainted final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && !m_closing && widget && widget->isWindow() &&
            widget->inherits("frmMain")) {
            m_closing = true;
            std::printf("platform %s\nshown %dx%d\n", qPrintable(QGuiApplication::platformName()), widget->width(),
                        widget->height());
            std::fflush(stdout);
            QMetaObject::invokeMethod(widget, [widget] { widget->close(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool m_closing = false;
};

void watchForTheMainWindow()
{
    QCoreApplication::instance()->installEventFilter(new CloseWhenPainted(QCoreApplication::instance()));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(watchForTheMainWindow)

int main(int argc, char** argv)
{
    board::ClockSeededRandom random;
    return runTavorin(argc, argv, random);
}
