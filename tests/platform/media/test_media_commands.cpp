// The media command interface through its one function: grammar, device life, real-time end of
// a piece, stop all, reply truncation and bad files, with the silent output (as on CI).
#include "CommandParser.h"
#include "MediaCommand.h"
#include "MediaEngine.h"
#include "MediaTestSupport.h"
#include "SmfWriter.h"
#include "SoundFontLocator.h"

#include <QtTest>

#include <cstring>
#include <random>

using media_test::send;
using media_test::sendCode;
using media_test::writeFile;

namespace {

// At tempo 120 a quarter note lasts half a second.
const char* const kOneSecond = "tempo 120\ntrack Piano\n program 0\n c4/4 <e4 g4>/4\n";
const char* const kTwoSeconds = "tempo 120\ntrack Piano\n program 0\n c4/4 e4 g4 c5\n";
const char* const kRestAtTheEnd = "tempo 120\ntrack Piano\n program 0\n c4/8 r/8+4\n";
// Organ chords never fade by themselves: sound that goes on until something stops it.
const char* const kLongOrganC = "tempo 120\ntrack Organ\n program 19\n <c4 e4 g4>/1*4\n";
const char* const kLongOrganF = "tempo 120\ntrack Organ\n program 19\n <f3 a3 c4>/1*4\n";

// One second of an organ note that is switched on and never off: a sequencer that waited for
// its voices to end would never finish it.
std::vector<std::uint8_t> neverReleasedNote()
{
    std::vector<midigen::RawEvent> events{
        {0, midigen::RawEvent::Control, {0xC0, 19}},
        midigen::noteOn(0, 0, 60, 100),
    };
    return midigen::encodeFile(0, 480, {midigen::encodeTrack(events, 960)});
}

}  // namespace

class MediaCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_startDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        using media_test::pieceFromSource;
        writeFile("one.mid", pieceFromSource(kOneSecond));
        writeFile("two.mid", pieceFromSource(kTwoSeconds));
        writeFile("rest.mid", pieceFromSource(kRestAtTheEnd));
        writeFile("organC.mid", pieceFromSource(kLongOrganC));
        writeFile("organF.mid", pieceFromSource(kLongOrganF));
        writeFile("hanging.mid", neverReleasedNote());

        // The silent output, whatever this machine has, with the SoundFont the game would use.
        m_silent.soundFont = media::locateSoundFont();
        m_silent.drivers = {};
        media::MediaEngine::instance().reconfigure(m_silent);
        QCOMPARE(sendCode("open one.mid type sequencer alias Warm"), 0);
        QCOMPARE(sendCode("play Warm from 0"), 0);   // the SoundFont loads at the first play
        QVERIFY(media::MediaEngine::instance().waitUntilReady(std::chrono::seconds(20)));
        QCOMPARE(QString::fromStdString(media::MediaEngine::instance().outputName()), QStringLiteral("none"));
    }

    void init()
    {
        sendCode("close all");
    }

    void cleanupTestCase()
    {
        sendCode("close all");
        QDir::setCurrent(m_startDir);
    }

    void grammar_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("verb");   // -1: not a command
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("alias");
        using V = media::CommandVerb;
        const auto row = [](const char* name, const char* text, int verb, const char* file, const char* alias) {
            QTest::newRow(name) << QString::fromUtf8(text) << verb << QString::fromUtf8(file)
                                << QString::fromUtf8(alias);
        };
        row("open", "open fanfa4.mid type sequencer alias EndSound", int(V::Open), "fanfa4.mid", "EndSound");
        row("open in capitals", "OPEN a.mid TYPE Sequencer ALIAS x", int(V::Open), "a.mid", "x");
        row("open with extra blanks", "  open\ta.mid  type sequencer alias x  ", int(V::Open), "a.mid", "x");
        row("open quoted name", "open \"my song.mid\" type sequencer alias x", int(V::Open), "my song.mid", "x");
        row("play", "play MoveSound from 0", int(V::Play), "", "MoveSound");
        row("status with the game's trailing blank", "status MoveSound mode ", int(V::Status), "", "MoveSound");
        row("stop all", "stop all", int(V::StopAll), "", "");
        row("close all", "Close ALL", int(V::CloseAll), "", "");
        row("empty", "", -1, "", "");
        row("blanks only", "   ", -1, "", "");
        row("play without from", "play x", -1, "", "");
        row("play from elsewhere", "play x from 10", -1, "", "");
        row("play with extra word", "play x from 0 wait", -1, "", "");
        row("status without mode", "status x", -1, "", "");
        row("status of something else", "status x length", -1, "", "");
        row("stop one device", "stop x", -1, "", "");
        row("close one device", "close x", -1, "", "");
        row("open another device type", "open a.wav type waveaudio alias x", -1, "", "");
        row("open without type", "open a.mid alias x", -1, "", "");
        row("open without alias", "open a.mid type sequencer", -1, "", "");
        row("alias all", "open a.mid type sequencer alias all", -1, "", "");
        row("play all", "play all from 0", -1, "", "");
        row("unclosed quote", "open \"a.mid type sequencer alias x", -1, "", "");
        row("line break", "stop all\n", -1, "", "");
        row("unknown verb", "pause x", -1, "", "");
    }
    void grammar()
    {
        QFETCH(QString, text);
        QFETCH(int, verb);
        QFETCH(QString, file);
        QFETCH(QString, alias);
        const auto command = media::parseCommand(text.toStdString());
        QCOMPARE(command.has_value(), verb >= 0);
        if (!command)
            return;
        QCOMPARE(int(command->verb), verb);
        QCOMPARE(QString::fromStdString(command->file), file);
        QCOMPARE(QString::fromStdString(command->alias), alias);
    }

    void malformedCommandDoesNothing_data()
    {
        QTest::addColumn<QString>("text");
        for (const char* text : {"stop", "close Tune", "play Tune from 1", "close all now",
                                 "open organF.mid type sequencer alias all"})
            QTest::newRow(text) << QString::fromLatin1(text);
    }
    void malformedCommandDoesNothing()
    {
        QFETCH(QString, text);
        openPiece("organC.mid", "Tune");
        QCOMPARE(sendCode("play Tune from 0"), 0);
        char reply[16] = "untouched";
        QCOMPARE(mciSendStringA(text.toLatin1().constData(), reply, sizeof reply), 1);
        QCOMPARE(reply, "");
        QCOMPARE(send("status Tune mode"), std::string("playing"));
    }

    void nullCommandAndNullReply()
    {
        char reply[8] = "xxxxxxx";
        QVERIFY(mciSendStringA(nullptr, reply, sizeof reply) != 0);
        QCOMPARE(reply, "");
        openPiece("one.mid", "Tune");
        QCOMPARE(mciSendStringA("status Tune mode", nullptr, 255), 0);
        QCOMPARE(mciSendStringA("status Tune mode", reply, 0), 0);
        QCOMPARE(reply, "");   // a zero length leaves the buffer alone
    }

    void aliasLifeFromOpenToClose()
    {
        QCOMPARE(send("status MoveSound mode"), std::string());
        openPiece("organC.mid", "MoveSound");
        QCOMPARE(send("status MoveSound mode "), std::string("stopped"));
        QCOMPARE(sendCode("play MoveSound from 0"), 0);
        QCOMPARE(send("status MoveSound mode "), std::string("playing"));
        QCOMPARE(sendCode("stop all"), 0);
        QCOMPARE(send("status MoveSound mode "), std::string("stopped"));
        QCOMPARE(sendCode("play MoveSound from 0"), 0);
        QCOMPARE(send("status MoveSound mode "), std::string("playing"));
        QCOMPARE(sendCode("close all"), 0);
        QCOMPARE(send("status MoveSound mode "), std::string());
        QCOMPARE(sendCode("play MoveSound from 0"), 2);
        QCOMPARE(send("status MoveSound mode "), std::string());
        waitForSilence();
        // After close all the alias is free again.
        openPiece("one.mid", "MoveSound");
        QCOMPARE(send("status MoveSound mode "), std::string("stopped"));
    }

    void aliasesIgnoreCaseAndStayUnique()
    {
        openPiece("organC.mid", "MoveSound");
        QCOMPARE(sendCode("play movesound from 0"), 0);
        QCOMPARE(send("status MOVESOUND mode"), std::string("playing"));
        // A second open under the same alias is refused and leaves the first device playing.
        QCOMPARE(sendCode("open one.mid type sequencer alias MOVESOUND"), 2);
        QCOMPARE(send("status MoveSound mode"), std::string("playing"));
    }

    void openLooksInTheCurrentDirectory()
    {
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("elsewhere")));
        writeFile(path("elsewhere/only-here.mid").toStdString(), media_test::pieceFromSource(kOneSecond));
        QCOMPARE(sendCode("open only-here.mid type sequencer alias Here"), 2);
        QVERIFY(QDir::setCurrent(path("elsewhere")));
        const int code = sendCode("open only-here.mid type sequencer alias Here");
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QCOMPARE(code, 0);
        QCOMPARE(send("status Here mode"), std::string("stopped"));
    }

    void pieceEndsInRealTime_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("lengthMs");
        QTest::newRow("notes released") << QStringLiteral("one.mid") << 1000;
        QTest::newRow("note never released") << QStringLiteral("hanging.mid") << 1000;
        QTest::newRow("rest after the last note") << QStringLiteral("rest.mid") << 1000;
    }
    void pieceEndsInRealTime()
    {
        QFETCH(QString, file);
        QFETCH(int, lengthMs);
        openPiece(file.toLatin1().constData(), "Piece");
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(sendCode("play Piece from 0"), 0);
        QCOMPARE(send("status Piece mode"), std::string("playing"));
        QTRY_COMPARE_WITH_TIMEOUT(send("status Piece mode"), std::string("stopped"), lengthMs + 5000);
        // Real time: the piece lasts as long as its notes, less at most one rendering block (23 ms).
        QVERIFY2(clock.elapsed() >= lengthMs - 30, qPrintable(QString::number(clock.elapsed())));
        waitForSilence();   // whatever rang has faded and the output rests
    }

    void playFromZeroRestarts()
    {
        openPiece("two.mid", "Tune");
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(sendCode("play Tune from 0"), 0);
        QTest::qWait(1200);
        QCOMPARE(sendCode("play Tune from 0"), 0);   // 1.2 s in: back to the beginning
        const qint64 restart = clock.elapsed();
        QTest::qWait(int(2500 - restart));
        // Without the restart the piece would have ended at 2.0 s.
        QCOMPARE(send("status Tune mode"), std::string("playing"));
        QTRY_COMPARE_WITH_TIMEOUT(send("status Tune mode"), std::string("stopped"), 5000);
        QVERIFY(clock.elapsed() >= restart + 2000 - 30);
    }

    void stopAllSilencesBothDevices()
    {
        openPiece("organC.mid", "MoveSound");
        openPiece("organF.mid", "EndSound");

        QCOMPARE(sendCode("play MoveSound from 0"), 0);
        waitForSound();
        QCOMPARE(sendCode("stop all"), 0);
        QCOMPARE(send("status MoveSound mode"), std::string("stopped"));
        waitForSilence(1000);

        QCOMPARE(sendCode("play EndSound from 0"), 0);
        waitForSound();
        QCOMPARE(sendCode("stop all"), 0);
        QCOMPARE(send("status EndSound mode"), std::string("stopped"));
        waitForSilence(1000);

        // One device taking over from the other, then both silenced together.
        QCOMPARE(sendCode("play MoveSound from 0"), 0);
        QCOMPARE(sendCode("play EndSound from 0"), 0);
        QCOMPARE(send("status MoveSound mode"), std::string("stopped"));
        QCOMPARE(send("status EndSound mode"), std::string("playing"));
        waitForSound();
        QCOMPARE(sendCode("stop all"), 0);
        QCOMPARE(send("status MoveSound mode"), std::string("stopped"));
        QCOMPARE(send("status EndSound mode"), std::string("stopped"));
        waitForSilence(1000);
    }

    void replyIsTruncated_data()
    {
        QTest::addColumn<bool>("play");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("expected");
        QTest::newRow("playing, 1") << true << 1 << QString();
        QTest::newRow("playing, 2") << true << 2 << QStringLiteral("p");
        QTest::newRow("playing, 7") << true << 7 << QStringLiteral("playin");
        QTest::newRow("playing, 8") << true << 8 << QStringLiteral("playing");
        QTest::newRow("playing, 255") << true << 255 << QStringLiteral("playing");
        QTest::newRow("stopped, 7") << false << 7 << QStringLiteral("stoppe");
        QTest::newRow("stopped, 8") << false << 8 << QStringLiteral("stopped");
    }
    void replyIsTruncated()
    {
        QFETCH(bool, play);
        QFETCH(int, length);
        QFETCH(QString, expected);
        openPiece("organC.mid", "Tune");
        if (play)
            QCOMPARE(sendCode("play Tune from 0"), 0);
        std::vector<char> buffer(std::size_t(length) + 4, '#');   // '#' marks bytes it must not touch
        QCOMPARE(mciSendStringA("status Tune mode", buffer.data(), std::size_t(length)), 0);
        QCOMPARE(QString::fromLatin1(buffer.data()), expected);
        for (std::size_t i = std::size_t(length); i < buffer.size(); ++i)
            QCOMPARE(buffer[i], '#');
    }

    void badFileGivesSilence_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");   // a null array: no file at all
        std::vector<std::uint8_t> random(4096);
        std::mt19937 generator(147);
        for (auto& byte : random)
            byte = static_cast<std::uint8_t>(generator());
        auto truncated = media_test::pieceFromSource(kTwoSeconds);
        truncated.resize(truncated.size() - 20);
        const auto array = [](const std::vector<std::uint8_t>& bytes) {
            return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        };
        QTest::newRow("missing file") << QStringLiteral("missing.mid") << QByteArray();
        QTest::newRow("empty file") << QStringLiteral("empty.mid") << QByteArray("");
        QTest::newRow("text") << QStringLiteral("text.mid") << QByteArray("This is not music.\n");
        QTest::newRow("random bytes") << QStringLiteral("random.mid") << array(random);
        QTest::newRow("truncated MIDI file") << QStringLiteral("truncated.mid") << array(truncated);
        QTest::newRow("directory") << QStringLiteral("folder.mid") << QByteArray("<dir>");
    }
    void badFileGivesSilence()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        if (content == "<dir>")
            QVERIFY(QDir(m_dir.path()).mkpath(name));
        else if (!content.isNull())
            writeFile(name.toStdString(), std::string(content.constData(), std::size_t(content.size())));

        waitForSilence();
        const std::string open = "open " + name.toStdString() + " type sequencer alias Bad";
        QCOMPARE(sendCode(open), 2);
        QCOMPARE(send("status Bad mode"), std::string());
        QCOMPARE(sendCode("play Bad from 0"), 2);
        QCOMPARE(send("status Bad mode"), std::string());   // never "stopped": the game must not loop it
        QTest::qWait(150);
        QCOMPARE(media::MediaEngine::instance().recentPeak(), 0.0f);
        QCOMPARE(sendCode("stop all"), 0);
        QCOMPARE(sendCode("close all"), 0);
        // The engine is unharmed: a good piece plays under the same alias afterwards.
        openPiece("one.mid", "Bad");
        QCOMPARE(sendCode("play Bad from 0"), 0);
        waitForSound();
    }

    void defaultOutputsKeepTimeToo()
    {
        // The program's own choice of output: an audio driver where one opens, else silence. Either
        // way a piece reports "stopped" when it ends.
        media::MediaEngine::instance().reconfigure({});
        openPiece("one.mid", "Tune");
        QCOMPARE(sendCode("play Tune from 0"), 0);
        QCOMPARE(send("status Tune mode"), std::string("playing"));
        QVERIFY(media::MediaEngine::instance().waitUntilReady(std::chrono::seconds(20)));
        const QString output = QString::fromStdString(media::MediaEngine::instance().outputName());
        QVERIFY2(output == "pulseaudio" || output == "alsa" || output == "none", qPrintable(output));
        QTRY_COMPARE_WITH_TIMEOUT(send("status Tune mode"), std::string("stopped"), 8000);
        media::MediaEngine::instance().reconfigure(m_silent);
    }

private:
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    void openPiece(const char* file, const char* alias)
    {
        QCOMPARE(sendCode(std::string("open ") + file + " type sequencer alias " + alias), 0);
    }

    void waitForSound()
    {
        QTRY_VERIFY_WITH_TIMEOUT(media::MediaEngine::instance().recentPeak() > 0.001f, 5000);
    }

    // Released notes ring out (an organ's release takes about two seconds) before all is quiet;
    // stopped ones fall silent at once.
    void waitForSilence(int timeoutMs = 5000)
    {
        QTRY_COMPARE_WITH_TIMEOUT(media::MediaEngine::instance().recentPeak(), 0.0f, timeoutMs);
    }

    QTemporaryDir m_dir;
    QString m_startDir;
    media::EngineOptions m_silent;
};

QTEST_GUILESS_MAIN(MediaCommandsTest)
#include "test_media_commands.moc"
