// In-process figures of the main window: one hover tick, a tile click to the screen, WriteSetting, the ending's pacing.
//
// The real main window with the real media layer runs in this process on the X server named by
// DISPLAY (bench/run.sh starts one), with Qel registered in a private configuration folder.
// Each figure is printed as one line of tab-separated fields:
//     name  unit  samples  min  median  max
// Usage: bench_game [runs]   (runs of the click and ending measures; at least 5, the default)
#include "ImageControl.h"
#include "QelForTests.h"
#include "ScreenGeometry.h"
#include "ScriptedRandom.h"
#include "Fonts.h"
#include "frmMain.h"
#include "modCommon.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

const Clock::time_point g_start = Clock::now();
volatile bool g_sink = false;   // keeps measured results alive

void Print(const char* name, const char* unit, std::vector<double> samples)
{
    std::fprintf(stderr, "bench_game: %s measured at %.0f s\n", name, Ms(Clock::now() - g_start) / 1000.0);
    std::sort(samples.begin(), samples.end());
    std::printf("%s\t%s\t%zu\t%.4f\t%.4f\t%.4f\n", name, unit, samples.size(), samples.front(),
                samples[samples.size() / 2], samples.back());
    std::fflush(stdout);
}

// Notes the moment each tick of a timer arrives, before its handler runs.
class TickStamps : public QObject {
public:
    std::vector<Clock::time_point> stamps;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Timer)
            stamps.push_back(Clock::now());
        return false;
    }
};

// Runs the event loop until `done` holds, or gives up after `seconds`.
bool RunUntil(const std::function<bool()>& done, int seconds)
{
    QElapsedTimer since;
    since.start();
    while (!done()) {
        if (since.hasExpired(seconds * 1000))
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

QImage Grab(const QRect& area)
{
    return QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
}

// Starts a game with picture `number` on the board one slide from solved, and lets it settle.
void StartOneSlideGame(frmMain& w, ScriptedRandom& random, int number)
{
    w.mOrignal_Click();
    w.imgSentaku_Click(number);
    random.Script(OneSlideFromSolved());
    w.imgCmd_Click(2);
    if (w.imgPanel[0]->Tag() != QLatin1String("2")) {
        std::fprintf(stderr, "bench_game: the scripted board did not come out\n");
        std::exit(1);
    }
    QTest::qWait(300);
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = std::max(5, argc > 1 ? std::atoi(argv[1]) : 5);
    // The window opens its music by file name, as when the game starts in its own folder.
    if (::chdir(TAVORIN_MUSIC_DIR) != 0) {
        std::perror("bench_game: " TAVORIN_MUSIC_DIR);
        return 1;
    }
    QelForTests qel(QEL_LIBRARY);
    QApplication app(argc, argv);
    fonts::installSubstitutions();
    // A best time nobody beats, so that no name entry opens after the games played here.
    modCommon::WriteSetting(QStringLiteral("Puzzle"), QStringLiteral("SCORE"), QStringLiteral("HISCORE"), QStringLiteral("00:00:00"));

    ScriptedRandom random({}, 7);
    frmMain w(random);
    // The pause before the ending is not measured: each look at the clock is a second later.
    int second = 0;
    w.secondsOfDay = [&second] { return second++ % 86400; };
    w.pauseWait = [] {};
    w.Form_Load();
    if (!QTest::qWaitForWindowExposed(&w)) {
        std::fprintf(stderr, "bench_game: the window was never shown\n");
        return 1;
    }
    QTest::qWait(500);
    std::fprintf(stderr, "bench_game: window and music ready at %.0f s\n", Ms(Clock::now() - g_start) / 1000.0);

    // One tick of the hover timer, as the timer calls it: three fetches through component
    // creation and three pictures set. The repaint it asks for runs between samples, untimed.
    {
        std::vector<double> micros;
        for (int i = 0; i < 1050; ++i) {
            const auto t0 = Clock::now();
            w.timCmd_Timer();
            const double us = Ms(Clock::now() - t0) * 1e3;
            if (i >= 50)
                micros.push_back(us);
            QCoreApplication::processEvents();
        }
        Print("timcmd_tick", "us", micros);
    }

    // The part of that tick that asks where the pointer is: the cursor test of the three buttons,
    // against one pointer position as in the tick.
    {
        std::vector<double> micros;
        for (int i = 0; i < 1050; ++i) {
            const auto t0 = Clock::now();
            const screen::CursorRead oneRead;
            bool over = false;
            for (int b = 1; b <= 3; ++b)
                over = modCommon::IsCursorOver(*w.imgCmd[b]) || over;
            const double us = Ms(Clock::now() - t0) * 1e3;
            g_sink = over;
            if (i >= 50)
                micros.push_back(us);
        }
        Print("timcmd_cursor", "us", micros);
    }

    // WriteSetting: the whole store rewritten and synced to disk before the call returns.
    {
        std::vector<double> ms;
        for (int i = 0; i < 3 * runs; ++i) {
            const auto t0 = Clock::now();
            modCommon::WriteSetting(QStringLiteral("Puzzle"), QStringLiteral("SCORE"), QStringLiteral("NAME"),
                                    QStringLiteral("Bench %1").arg(i));
            ms.push_back(Ms(Clock::now() - t0));
        }
        Print("writesetting", "ms", ms);
    }

    // A tile click to the first movement on screen: the click is handled, the slide timer's first
    // tick (100 ms later by design) moves the tile, and the board's pixels as the X server holds
    // them differ from before the click. One run more than asked, the first unreported (warm-up).
    {
        std::vector<double> full;
        std::vector<double> beyond;
        std::vector<double> tickToScreen;
        for (int run = 0; run <= runs; ++run) {
            StartOneSlideGame(w, random, 1);
            const QRect board(w.picPuzzle->mapToGlobal(QPoint(0, 0)), w.picPuzzle->size());
            const QImage before = Grab(board);
            Clock::time_point tick{};
            bool ticked = false;
            const auto watch = QObject::connect(&w.timMain, &WindowTimer::Timer, [&] {
                if (!ticked) {
                    ticked = true;
                    tick = Clock::now();
                }
            });
            const auto t0 = Clock::now();
            QTest::mouseClick(w.imgPanel[0], Qt::LeftButton);
            while (!ticked)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QImage after;
            do {
                QCoreApplication::processEvents();
                after = Grab(board);
            } while (after == before && Ms(Clock::now() - t0) < 5000);
            const auto seen = Clock::now();
            QObject::disconnect(watch);
            if (after == before) {
                std::fprintf(stderr, "bench_game: the tile never moved on screen\n");
                return 1;
            }
            if (run > 0) {
                full.push_back(Ms(seen - t0));
                beyond.push_back(Ms(seen - t0) - 100.0);
                tickToScreen.push_back(Ms(seen - tick));
            }
            RunUntil([&] { return !w.moveBusy; }, 5);   // the slide ends and the game with it
            QTest::qWait(200);
        }
        Print("click_to_screen", "ms", full);
        Print("click_beyond_timer", "ms", beyond);
        Print("tick_to_screen", "ms", tickToScreen);
    }

    // The ending's frame pacing with real timers: the three built-in pictures solved in turn,
    // then every tick of the ending timer stamped as it arrives. 1,199 frames are drawn and the
    // 1,200th tick stops the timer: 1,199 intervals per run.
    {
        auto* endingTimer = w.timEnding.findChild<QTimer*>();
        if (!endingTimer) {
            std::fprintf(stderr, "bench_game: the ending timer has no timer inside\n");
            return 1;
        }
        std::vector<double> share;
        std::vector<double> intervals;
        std::vector<double> seconds;
        for (int run = 0; run < runs; ++run) {
            TickStamps stamps;
            endingTimer->installEventFilter(&stamps);
            for (int number = 1; number <= 3; ++number) {
                StartOneSlideGame(w, random, number);
                QTest::mouseClick(w.imgPanel[0], Qt::LeftButton);
                if (!RunUntil([&] { return !w.moveBusy; }, 5)) {
                    std::fprintf(stderr, "bench_game: the slide did not end\n");
                    return 1;
                }
            }
            if (!w.timEnding.isRunning() || !RunUntil([&] { return !w.timEnding.isRunning(); }, 120)) {
                std::fprintf(stderr, "bench_game: the ending did not run to its end\n");
                return 1;
            }
            endingTimer->removeEventFilter(&stamps);
            int within = 0;
            for (std::size_t i = 1; i < stamps.stamps.size(); ++i) {
                const double gap = Ms(stamps.stamps[i] - stamps.stamps[i - 1]);
                intervals.push_back(gap);
                within += gap >= 12.0 && gap <= 20.0;
            }
            const auto count = static_cast<double>(stamps.stamps.size() - 1);
            share.push_back(100.0 * within / count);
            seconds.push_back(Ms(stamps.stamps.back() - stamps.stamps.front()) / 1000.0);
            w.mOrignal_Click();
            QTest::qWait(300);
        }
        Print("ending_share_16pm4", "%", share);
        Print("ending_interval", "ms", intervals);
        Print("ending_duration", "s", seconds);
    }

    w.Form_Unload();
    return 0;
}
