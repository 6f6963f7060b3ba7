// Soak: 500 whole games in process (fixed seeds, solved by clicks), then 100,000 ticks of the button
// timer, offscreen, watching resident memory, the resource library's live objects and leaks.
//
// Each game deals a board from a fixed seed: a short random walk of the gap (the first draws of a
// seeded generator, the rest spent moving the gap up against the edge). The draws the shuffle took
// are recorded and replayed on a board of our own, which gives the walk; it is solved by clicking,
// in reverse, the tiles it moved (loops taken out), each slide ticked to its end. Every third
// game clears the third picture and runs the ending to its last frame; every 25th game plays an
// imported picture instead. The best time in the store is 00:00:00, so no name entry opens. The
// music goes through the real media layer, silent.
#include "ImageControl.h"
#include "InprocServer.h"
#include "MediaEngine.h"
#include "PictureFile.h"
#include "ProcessStatus.h"
#include "QelForTests.h"
#include "QelInterface.h"
#include "Registry.h"
#include "ScriptedRandom.h"
#include "frmMain.h"
#include "modCommon.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QtTest>

#include <dlfcn.h>

#include <deque>
#include <map>
#include <random>
#include <vector>

namespace {

// The figures of the soak; TAVORIN_SOAK_GAMES and TAVORIN_SOAK_TICKS shorten a run by hand.
const int kGames = qEnvironmentVariableIntValue("TAVORIN_SOAK_GAMES") > 0 ? qEnvironmentVariableIntValue("TAVORIN_SOAK_GAMES") : 500;
const int kTicks = qEnvironmentVariableIntValue("TAVORIN_SOAK_TICKS") > 0 ? qEnvironmentVariableIntValue("TAVORIN_SOAK_TICKS") : 100000;
constexpr long kResidentSlackKiB = 2048;

// The game's random source, with every draw the shuffle takes kept for the replay.
class RecordingRandom final : public board::RandomSource {
public:
    void Script(std::deque<double> draws)
    {
        m_inner.Script(std::move(draws));
        drawn.clear();
    }
    void reseed() override { m_inner.reseed(); }
    double next() override
    {
        drawn.push_back(m_inner.next());
        return drawn.back();
    }

    std::vector<double> drawn;

private:
    ScriptedRandom m_inner;
};

struct Step {
    std::string board;   // Board::toString()
    int gapCol = 1;
    int gapRow = 1;
};

// The walk of the gap from the solved board that the draws make, with every loop taken out, so
// that no board along it repeats (and so none but the first is solved).
std::vector<Step> WalkOf(const std::vector<double>& draws)
{
    board::BoardModel model;
    board::fillSolved(model.board);
    model.gapCol = 1;
    model.gapRow = 1;
    std::vector<Step> walk{{model.board.toString(), 1, 1}};
    std::map<std::string, std::size_t> seen{{walk.front().board, 0}};
    for (const double draw : draws) {
        if (!board::moveGap(model, static_cast<int>(4.0 * draw)))
            continue;
        const Step step{model.board.toString(), model.gapCol, model.gapRow};
        if (const auto again = seen.find(step.board); again != seen.end()) {
            for (std::size_t i = again->second + 1; i < walk.size(); ++i)
                seen.erase(walk[i].board);
            walk.resize(again->second + 1);
            continue;
        }
        seen.emplace(step.board, walk.size());
        walk.push_back(step);
    }
    return walk;
}

// The draws for game `game`: a few from its own seed, then "up" until the shuffle has spent 300.
std::deque<double> DrawsFor(int game)
{
    std::mt19937 engine(static_cast<std::mt19937::result_type>(1000 + game));
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    const int random = 5 + game % 40;
    std::deque<double> draws;
    for (int i = 0; i < random; ++i)
        draws.push_back(uniform(engine));
    draws.insert(draws.end(), board::kShuffleAttempts - random, 0.5);
    return draws;
}

void SettleEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

}  // namespace

class SoakGames : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_run.isValid());
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_run.filePath(QStringLiteral("no-system-config"))));
        for (const char* piece : {"fanfa4.mid", "juesmansdesiring.mid"})
            QVERIFY(QFile::copy(QStringLiteral(TAVORIN_MUSIC_DIR "/") + QLatin1String(piece), m_run.filePath(QLatin1String(piece))));
        m_startDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_run.path()));
        // The real media layer, silent and without a SoundFont: the commands, devices and playback
        // thread run as in the game, and the font's 140 MB do not drown the game's own memory.
        media::EngineOptions silent;
        silent.soundFont = std::string();
        silent.drivers = {};
        media::MediaEngine::instance().reconfigure(silent);

        // A picture to import: a 300 x 300 BMP of coloured cells.
        QImage picture(300, 300, QImage::Format_RGB32);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x)
                picture.setPixel(x, y, qRgb(x * 255 / 299, y * 255 / 299, (x / 75 + y / 75) * 40));
        m_imported = m_run.filePath(QStringLiteral("imported.bmp"));
        QVERIFY(picture.save(m_imported, "BMP"));

        modCommon::WriteSetting(QStringLiteral("Puzzle"), QStringLiteral("SCORE"), QStringLiteral("HISCORE"), QStringLiteral("00:00:00"));
        modCommon::WriteSetting(QStringLiteral("Puzzle"), QStringLiteral("SCORE"), QStringLiteral("NAME"), QStringLiteral("soak"));
    }

    void cleanupTestCase()
    {
        media::MediaEngine::instance().closeAll();
        QDir::setCurrent(m_startDir);
    }

    void wholeGamesThenButtonTicksLeaveNothingBehind()
    {
        long residentAfterFirstGame = 0;
        long residentAfterFirstEnding = 0;
        {
            frmMain w(m_random);
            w.secondsOfDay = [clock = std::make_shared<qint64>(0)] { return static_cast<int>((*clock += 500) / 1000 % 86400); };
            w.pauseWait = [] {};
            w.Form_Load();
            QVERIFY(QTest::qWaitForWindowExposed(&w));

            int cycle = 0;   // pictures 1, 2, 3 in turn; the ending follows every third
            for (int game = 0; game < kGames; ++game) {
                const int picture = game % 25 == 24 ? 0 : 1 + cycle++ % 3;
                PlayGame(w, game, picture);
                if (QTest::currentTestFailed())
                    return;
                QCOMPARE(QelCanUnloadNow(), component::hr::kOk);   // no resource object outlives a handler
                if (game == 0)
                    residentAfterFirstGame = ResidentKiB();
                if (m_endings == 1 && residentAfterFirstEnding == 0)
                    residentAfterFirstEnding = ResidentKiB();
                if (game % 100 == 99)
                    qInfo("after game %d: resident %ld KiB", game + 1, ResidentKiB());
            }
            const long afterGames = ResidentKiB();
            for (int tick = 0; tick < kTicks; ++tick) {
                w.timCmd_Timer();
                if (tick % 1000 == 999)
                    SettleEvents();
            }
            const long afterTicks = ResidentKiB();
            QCOMPARE(QelCanUnloadNow(), component::hr::kOk);
            qInfo("%d games (%d clicks, %d endings), %d button ticks: resident %ld KiB after the first game, %ld after the "
                  "first ending, %ld after the games, %ld after the ticks",
                  kGames, m_clicks, m_endings, kTicks, residentAfterFirstGame, residentAfterFirstEnding, afterGames, afterTicks);
            // The comparison starts from the first ending, the first game to use every part of the
            // window: the ending takes its scroll picture and stage once and keeps them for the next.
            QVERIFY2(residentAfterFirstEnding > 0, "no game reached the ending");
    #if defined(__SANITIZE_ADDRESS__)
            // The sanitizer's allocator holds freed memory in quarantine and never trims: resident
            // memory says nothing here; the leak checker at exit speaks instead.
    #else
            QVERIFY2(afterTicks - residentAfterFirstEnding <= kResidentSlackKiB,
                     qPrintable(QStringLiteral("resident memory grew by %1 KiB").arg(afterTicks - residentAfterFirstEnding)));
    #endif
            w.close();
        }
        SettleEvents();
        QCOMPARE(QelCanUnloadNow(), component::hr::kOk);
        // In the sanitizer build the leak checker runs when the process ends, after the application
        // has released its own caches, and fails the run on any leak. (A check while the application
        // lives reports 6.5 KB of fontconfig patterns behind Qt's font fallback, the same after 6
        // games as after 500, which Qt frees at its shutdown.)
    }

private:
    // DllCanUnloadNow of the resource library as the registry names it, already loaded by the game.
    component::HResult QelCanUnloadNow() const
    {
        QString path;
        const QStringList key{QStringLiteral("CLSID"), component::guidText(qel::kClsidQelRes), QStringLiteral("InprocServer32")};
        if (component::failed(component::registry::readValue(key, QString(), &path)))
            qFatal("the resource library is not registered");
        void* handle = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NOLOAD);
        if (!handle)
            qFatal("the resource library %s is not loaded", qPrintable(path));
        const auto canUnloadNow = reinterpret_cast<component::DllCanUnloadNowFn>(::dlsym(handle, component::kDllCanUnloadNow));
        const component::HResult result = canUnloadNow ? canUnloadNow() : component::hr::kProcNotFound;
        ::dlclose(handle);
        return result;
    }

    void PlayGame(frmMain& w, int game, int picture)
    {
        w.mOrignal->trigger();
        if (picture == 0) {   // what the import handler does once the player has chosen the file
            w.PictureClip.setTag(QString());
            w.PictureClip.setPicture(picture::LoadPicture(m_imported));
        } else {
            QTest::mouseClick(w.imgSentaku[picture], Qt::LeftButton);
        }
        m_random.Script(DrawsFor(game));
        QTest::mouseClick(w.imgCmd[2], Qt::LeftButton);
        QVERIFY2(w.picPuzzle->isVisible(), "the start command did not deal a board");

        const std::vector<Step> walk = WalkOf(m_random.drawn);
        QCOMPARE(QString::fromStdString(w.model.board.toString()), QString::fromStdString(walk.back().board));
        QVERIFY(walk.size() >= 2);
        for (std::size_t i = walk.size() - 1; i >= 1; --i) {
            for (int s = 0; s < game % 4; ++s)
                w.timScore_Timer();
            // The tile standing where the gap was one step earlier slides back into the gap.
            const QString tag = QString::number(w.model.board(walk[i - 1].gapCol, walk[i - 1].gapRow));
            int control = -1;
            for (int k = 0; k < board::kCells; ++k)
                if (w.imgPanel[k]->Tag() == tag)
                    control = k;
            QVERIFY2(control >= 0 && w.imgPanel[control]->isVisible(), qPrintable(QStringLiteral("no tile %1 to click").arg(tag)));
            QTest::mouseClick(w.imgPanel[control], Qt::LeftButton);
            QVERIFY2(w.moveBusy, qPrintable(QStringLiteral("game %1: the click on tile %2 did not slide it").arg(game).arg(tag)));
            for (int tick = 0; w.moveBusy && tick < 20; ++tick)
                w.timMain_Timer();
            QVERIFY(!w.moveBusy);
            ++m_clicks;
            QCOMPARE(w.picPuzzle->isEnabled(), i != 1);   // the game ends with the last slide, not before
        }
        QVERIFY(w.IsBoardSolved());
        QVERIFY2(!QApplication::activeModalWidget(), "a window opened at the end of the game");
        if (w.timEnding.Enabled()) {   // all three pictures cleared: the ending scrolls to its last frame
            int frames = 0;
            while (w.timEnding.Enabled() && frames < 100000) {
                w.timEnding_Timer();
                ++frames;
            }
            QVERIFY(!w.timEnding.Enabled());
            ++m_endings;
        }
        SettleEvents();
    }

    QelForTests m_qel{QEL_LIBRARY};
    QTemporaryDir m_run;
    QString m_startDir;
    QString m_imported;
    RecordingRandom m_random;
    int m_clicks = 0;
    int m_endings = 0;
};

QTEST_MAIN(SoakGames)
#include "soak_games.moc"
