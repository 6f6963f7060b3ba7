// The real program with one hard board dealt on every start, for the start-up checks that ask for
// a hint: a well-known random instance of 56 slides (the solver with its tables finds it in about
// 11,000 nodes, the weaker bound alone needs 4.6 million), reached by this gap walk from the
// solved board. The walk is the reverse of the solver's solution; the draws after it lead the
// gap off the board (it ends at the right edge, second row) and so change nothing.
// It prints a line on standard output whenever a tile is hidden or shown again:
//   hidden imgPanel<k>   /   shown imgPanel<k>
// so that a check sees a hint's blink (tens of milliseconds a step) without having to catch it
// in a screenshot.
#include "App.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <string_view>

namespace {

class TileWatch final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool hidden = event->type() == QEvent::Hide;
        if ((hidden || event->type() == QEvent::Show) && watched->isWidgetType() &&
            watched->objectName().startsWith(QLatin1String("imgPanel"))) {
            std::printf("%s %s\n", hidden ? "hidden" : "shown", qPrintable(watched->objectName()));
            std::fflush(stdout);
        }
        return false;
    }
};

void watchTheTiles()
{
    QCoreApplication::instance()->installEventFilter(new TileWatch(QCoreApplication::instance()));
}

// Gap steps: 0 right, 1 left, 2 up, 3 down (as the shuffle draws them).
constexpr std::string_view kWalk = "00031213033122120033021330213122203113302021312030221300";

class HardDeal final : public board::RandomSource {
public:
    void reseed() override { m_draw = 0; }
    double next() override
    {
        const int step = m_draw < kWalk.size() ? kWalk[m_draw] - '0' : 0;
        ++m_draw;
        return (step + 0.5) / 4.0;
    }

private:
    std::size_t m_draw = 0;
};

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(watchTheTiles)

int main(int argc, char** argv)
{
    HardDeal random;
    return runTavorin(argc, argv, random);
}
