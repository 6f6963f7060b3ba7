// What the media layer holds when nothing plays: no SoundFont before the first play, an audio
// driver only while pieces sound (and a little after), the font freed after a long rest, with the
// status replies the game relies on unchanged through all of it.
#include "MediaCommand.h"
#include "MediaEngine.h"
#include "MediaTestSupport.h"
#include "SoundFontLocator.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <random>
#include <thread>

using media_test::send;
using media_test::sendCode;
using media_test::writeFile;
using namespace std::chrono_literals;

namespace {

// At tempo 120 a quarter note lasts half a second.
const char* const kOneSecond = "tempo 120\ntrack Piano\n program 0\n c4/4 <e4 g4>/4\n";
const char* const kShort = "tempo 120\ntrack Piano\n program 0\n c5/16\n";   // 125 ms
// Organ chords never fade by themselves: sound that goes on until something stops it.
const char* const kLongOrgan = "tempo 120\ntrack Organ\n program 19\n <c4 e4 g4>/1*4\n";

media::MediaEngine& engine()
{
    return media::MediaEngine::instance();
}

}  // namespace

class MediaLifecycleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_startDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        using media_test::pieceFromSource;
        writeFile("one.mid", pieceFromSource(kOneSecond));
        writeFile("short.mid", pieceFromSource(kShort));
        writeFile("organ.mid", pieceFromSource(kLongOrgan));
        m_soundFont = media::locateSoundFont();
        if (m_soundFont.empty())
            QSKIP("no General MIDI SoundFont installed");
    }

    void cleanup()
    {
        sendCode("close all");
    }

    void cleanupTestCase()
    {
        engine().reconfigure({});
        QDir::setCurrent(m_startDir);
    }

    void openingLoadsNoSoundFont()
    {
        engine().reconfigure(options({"timer"}));
        const auto opened = engine().driversOpened();
        openTheGamesTwo();
        QTest::qWait(1000);   // ample time for a SoundFont to load, were opening to ask for one
        QCOMPARE(QString::fromStdString(engine().soundFontPath()), QString());
        QVERIFY(!engine().waitUntilReady(0ms));
        QVERIFY(!engine().driverOpen());
        QCOMPARE(engine().driversOpened(), opened);
        QCOMPARE(send("status MoveSound mode "), std::string("stopped"));

        QCOMPARE(sendCode("play MoveSound from 0"), 0);
        QVERIFY(engine().waitUntilReady(20s));
        QCOMPARE(engine().soundFontPath(), m_soundFont);
    }

    void playReturnsBeforeTheSoundFontIsRead()
    {
        // A SoundFont that cannot be read until the test lets it: a FIFO, whose opening for reading
        // blocks the loader until a writer opens it too.
        const QByteArray fifo = QFile::encodeName(m_dir.filePath(QStringLiteral("held.sf2")));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        media::EngineOptions held = options({});
        held.soundFont = fifo.toStdString();
        engine().reconfigure(held);
        openTheGamesTwo();

        auto play = std::async(std::launch::async, [] { return sendCode("play MoveSound from 0"); });
        const bool returned = play.wait_for(20s) == std::future_status::ready;
        // The loader is opening the font and waits for it: only now can a writer open the FIFO
        // without waiting.
        const auto openWriter = [&fifo] { return ::open(fifo.constData(), O_WRONLY | O_NONBLOCK); };
        int writer = -1;
        QVERIFY2(QTest::qWaitFor([&] { return (writer = openWriter()) >= 0; }, 20000), "the SoundFont was never opened");
        const bool loading = returned && !engine().waitUntilReady(0ms) && send("status MoveSound mode ") == "playing";
        ::close(writer);
        // Let the loader go: each writer closed at once is an empty file to it, and it may open the
        // font more than once before it gives up on it.
        const auto release = [&openWriter] {
            if (const int fd = openWriter(); fd >= 0)
                ::close(fd);
            return engine().waitUntilReady(0ms);
        };
        QVERIFY2(QTest::qWaitFor(release, 20000), "the SoundFont loader did not give up on an empty file");
        QVERIFY2(returned, "play waited for the SoundFont");
        QCOMPARE(play.get(), 0);
        QVERIFY2(loading, "play returned, but not with the piece playing while its SoundFont loads");
        QCOMPARE(QString::fromStdString(engine().soundFontPath()), QString());   // an empty file is no SoundFont
    }

    void statusSaysPlayingWhileTheFontLoads()
    {
        engine().reconfigure(options({}));
        openTheGamesTwo();
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(sendCode("play MoveSound from 0"), 0);
        do {
            QCOMPARE(send("status MoveSound mode "), std::string("playing"));
            std::this_thread::sleep_for(1ms);
        } while (!engine().waitUntilReady(0ms) && clock.elapsed() < 20000);
        QVERIFY(engine().waitUntilReady(0ms));
        QTRY_VERIFY_WITH_TIMEOUT(engine().recentPeak() > 0.001f, 5000);   // it really sounds
        QTRY_COMPARE_WITH_TIMEOUT(send("status MoveSound mode "), std::string("stopped"), 10000);
        // The whole piece, less at most one block.
        QVERIFY2(clock.elapsed() >= 1000 - 30, qPrintable(QString::number(clock.elapsed())));

        // A long piece is still playing once its sound has begun.
        openPiece("organ.mid", "Long");
        QCOMPARE(sendCode("play Long from 0"), 0);
        QTRY_VERIFY_WITH_TIMEOUT(engine().recentPeak() > 0.001f, 5000);
        QCOMPARE(send("status Long mode "), std::string("playing"));
    }

    void stopWhileTheFontLoadsPlaysNothing()
    {
        engine().reconfigure(options({"timer"}));
        openTheGamesTwo();
        QCOMPARE(sendCode("play MoveSound from 0"), 0);
        QCOMPARE(sendCode("stop all"), 0);
        QCOMPARE(send("status MoveSound mode "), std::string("stopped"));
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 1500) {
            QCOMPARE(engine().recentPeak(), 0.0f);
            QCOMPARE(send("status MoveSound mode "), std::string("stopped"));
            QTest::qWait(10);
        }
        // The engine is ready for the next play.
        QCOMPARE(sendCode("play MoveSound from 0"), 0);
        QTRY_VERIFY_WITH_TIMEOUT(engine().recentPeak() > 0.001f, 20000);
    }

    void driverOpensOnlyWhilePiecesSound()
    {
        engine().reconfigure(options({"timer"}));
        const auto opened = engine().driversOpened();
        openTheGamesTwo();
        QTest::qWait(300);
        QVERIFY(!engine().driverOpen());

        QElapsedTimer clock;
        clock.start();
        QCOMPARE(sendCode("play MoveSound from 0"), 0);
        QCOMPARE(send("status MoveSound mode "), std::string("playing"));
        QVERIFY(engine().waitUntilReady(20s));
        QVERIFY(engine().driverOpen());
        QCOMPARE(QString::fromStdString(engine().outputName()), QStringLiteral("timer"));
        QCOMPARE(engine().driversOpened(), opened + 1);
        QTRY_COMPARE_WITH_TIMEOUT(send("status MoveSound mode "), std::string("stopped"), 10000);
        // Real time through the driver as through the silent output.
        QVERIFY2(clock.elapsed() >= 1000 - 30, qPrintable(QString::number(clock.elapsed())));
        // The last notes ring, then a second of silence, before the driver closes.
        QVERIFY(engine().driverOpen());
        QTRY_VERIFY_WITH_TIMEOUT(!engine().driverOpen(), 10000);
        QCOMPARE(engine().driversOpened(), opened + 1);
        QCOMPARE(engine().recentPeak(), 0.0f);
        QCOMPARE(send("status MoveSound mode "), std::string("stopped"));
        QCOMPARE(QString::fromStdString(engine().soundFontPath()), QString::fromStdString(m_soundFont));
    }

    void musicRestartKeepsTheDriver()
    {
        // The game's music watch restarts the piece within 500 ms of its end.
        engine().reconfigure(options({"timer"}, 3000ms));
        const auto opened = engine().driversOpened();
        openTheGamesTwo();
        for (int round = 0; round < 3; ++round) {
            QCOMPARE(sendCode("play MoveSound from 0"), 0);
            QCOMPARE(send("status MoveSound mode "), std::string("playing"));
            QTRY_COMPARE_WITH_TIMEOUT(send("status MoveSound mode "), std::string("stopped"), 20000);
            QVERIFY(engine().driverOpen());
            QTest::qWait(450);
        }
        QCOMPARE(engine().driversOpened(), opened + 1);
        QCOMPARE(sendCode("stop all"), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!engine().driverOpen(), 10000);
    }

    void stopAllLetsTheDriverGo()
    {
        engine().reconfigure(options({"timer"}, 500ms));
        const auto opened = engine().driversOpened();
        openPiece("organ.mid", "MoveSound");
        openPiece("one.mid", "EndSound");
        QCOMPARE(sendCode("play MoveSound from 0"), 0);
        QTRY_VERIFY_WITH_TIMEOUT(engine().recentPeak() > 0.001f, 20000);
        QCOMPARE(sendCode("stop all"), 0);
        QCOMPARE(send("status MoveSound mode "), std::string("stopped"));
        QTRY_VERIFY_WITH_TIMEOUT(!engine().driverOpen(), 5000);
        QCOMPARE(engine().recentPeak(), 0.0f);

        // The next piece gets a new driver, and the same status replies.
        QCOMPARE(sendCode("play EndSound from 0"), 0);
        QCOMPARE(send("status EndSound mode "), std::string("playing"));
        QCOMPARE(send("status MoveSound mode "), std::string("stopped"));
        QTRY_VERIFY_WITH_TIMEOUT(engine().recentPeak() > 0.001f, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(engine().driversOpened(), opened + 2, 5000);
        QCOMPARE(sendCode("close all"), 0);
        QCOMPARE(send("status EndSound mode "), std::string());
        QTRY_VERIFY_WITH_TIMEOUT(!engine().driverOpen(), 5000);
    }

    void noRequestIsLostWhileDriversComeAndGo()
    {
        // No linger: the driver closes the moment all is quiet, so plays, stops and status queries
        // from two threads keep meeting a driver that is opening or closing.
        engine().reconfigure(options({"timer"}, 0ms));
        openTheGamesTwo();
        QCOMPARE(sendCode("play EndSound from 0"), 0);
        QVERIFY(engine().waitUntilReady(20s));
        const auto opened = engine().driversOpened();

        std::atomic<bool> done{false};
        std::thread other([&done] {
            std::mt19937 random(7);
            char reply[16];
            while (!done) {
                mciSendStringA("status EndSound mode", reply, sizeof reply);
                if (random() % 4 == 0)
                    mciSendStringA("stop all", nullptr, 0);
                std::this_thread::sleep_for(std::chrono::milliseconds(random() % 40));
            }
        });
        std::mt19937 random(147);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 4000) {
            sendCode(random() % 2 ? "play EndSound from 0" : "play MoveSound from 0");
            QTest::qWait(int(random() % 300));
        }
        done = true;
        other.join();

        // Whatever state that left, a piece asked for now plays to its end and the driver closes.
        QCOMPARE(sendCode("play EndSound from 0"), 0);
        QCOMPARE(send("status EndSound mode "), std::string("playing"));
        QTRY_COMPARE_WITH_TIMEOUT(send("status EndSound mode "), std::string("stopped"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!engine().driverOpen(), 5000);
        QVERIFY2(engine().driversOpened() > opened + 2, qPrintable(QString::number(engine().driversOpened() - opened)));
    }

    void programDriverComesAndGoes()
    {
        // FluidSynth's own ALSA driver on ALSA's null device: a driver thread of the library's, which
        // renders as fast as it can, so that a piece and the silence after it pass in moments.
        engine().reconfigure(options({"alsa:null"}, 50ms));
        openTheGamesTwo();
        QCOMPARE(sendCode("play EndSound from 0"), 0);
        QVERIFY(engine().waitUntilReady(20s));
        if (engine().outputName() != "alsa:null")
            QSKIP("ALSA's null device does not open here");
        QTRY_VERIFY_WITH_TIMEOUT(!engine().driverOpen(), 5000);
        const auto opened = engine().driversOpened();
        for (unsigned round = 1; round <= 10; ++round) {
            QCOMPARE(sendCode("play MoveSound from 0"), 0);
            QTRY_COMPARE_WITH_TIMEOUT(engine().driversOpened(), opened + round, 5000);
            QTRY_COMPARE_WITH_TIMEOUT(send("status MoveSound mode "), std::string("stopped"), 5000);
            QTRY_VERIFY_WITH_TIMEOUT(!engine().driverOpen(), 5000);
        }

        // Each play the moment the last piece has ended, or a little later: many land while the
        // driver is closing, and each must still be played to its end, by the next driver.
        std::mt19937 random(3);
        for (int round = 0; round < 300; ++round) {
            QCOMPARE(sendCode("play EndSound from 0"), 0);
            QElapsedTimer clock;
            clock.start();
            while (send("status EndSound mode ") != "stopped" && clock.elapsed() < 5000)
                std::this_thread::sleep_for(100us);
            QCOMPARE(send("status EndSound mode "), std::string("stopped"));
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 2000));
        }
        QCOMPARE(sendCode("play MoveSound from 0"), 0);
        engine().reconfigure(options({}));   // closes it while it may still be rendering
        QVERIFY(!engine().driverOpen());
    }

    void teardownWhileTheDriverPlays()
    {
        engine().reconfigure(options({"timer"}));
        openPiece("organ.mid", "MoveSound");
        QCOMPARE(sendCode("play MoveSound from 0"), 0);
        QTRY_VERIFY_WITH_TIMEOUT(engine().recentPeak() > 0.001f, 20000);
        QVERIFY(engine().driverOpen());
        QElapsedTimer clock;
        clock.start();
        engine().reconfigure(options({"timer"}));
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));   // no hang
        QVERIFY(!engine().driverOpen());
        QCOMPARE(engine().recentPeak(), 0.0f);
        QCOMPARE(send("status MoveSound mode "), std::string());
    }

    void soundFontIsFreedAfterARest()
    {
        engine().reconfigure(options({"timer"}, 200ms, 500ms));
        openTheGamesTwo();
        QCOMPARE(sendCode("play EndSound from 0"), 0);
        QVERIFY(engine().waitUntilReady(20s));
        QCOMPARE(engine().soundFontPath(), m_soundFont);
        QTRY_COMPARE_WITH_TIMEOUT(send("status EndSound mode "), std::string("stopped"), 5000);
        // Kept while the driver is open and through a short rest.
        QVERIFY(!engine().soundFontPath().empty());
        QTRY_VERIFY_WITH_TIMEOUT(!engine().driverOpen(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(engine().soundFontPath().empty(), 5000);
        QVERIFY(!engine().waitUntilReady(0ms));

        // Loaded again for the next piece, which plays whole.
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(sendCode("play MoveSound from 0"), 0);
        QCOMPARE(send("status MoveSound mode "), std::string("playing"));
        QVERIFY(engine().waitUntilReady(20s));
        QCOMPARE(engine().soundFontPath(), m_soundFont);
        QTRY_VERIFY_WITH_TIMEOUT(engine().recentPeak() > 0.001f, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(send("status MoveSound mode "), std::string("stopped"), 10000);
        QVERIFY2(clock.elapsed() >= 1000 - 30, qPrintable(QString::number(clock.elapsed())));
    }

private:
    media::EngineOptions options(std::vector<std::string> drivers, std::chrono::milliseconds linger = 1000ms,
                                 std::chrono::milliseconds unloadAfter = 0ms) const
    {
        media::EngineOptions result;
        result.soundFont = m_soundFont;
        result.drivers = std::move(drivers);
        result.driverLinger = linger;
        result.unloadAfter = unloadAfter;
        return result;
    }

    void openPiece(const char* file, const char* alias)
    {
        QCOMPARE(sendCode(std::string("open ") + file + " type sequencer alias " + alias), 0);
    }

    // The two opens the game sends at start-up.
    void openTheGamesTwo()
    {
        openPiece("one.mid", "MoveSound");
        openPiece("short.mid", "EndSound");
    }

    QTemporaryDir m_dir;
    QString m_startDir;
    std::string m_soundFont;
};

QTEST_GUILESS_MAIN(MediaLifecycleTest)
#include "test_media_lifecycle.moc"
