// Tests of the settings store.
#include "AppError.h"
#include "PrivateConfig.h"
#include "SettingsStore.h"

#include <QtTest>

#include <csignal>

namespace {

const QString kApp = QStringLiteral("Puzzle");
const QString kSection = QStringLiteral("SCORE");

QString Read(const QString& key)
{
    return settings::GetSetting(kApp, kSection, key);
}

void Write(const QString& key, const QString& value)
{
    settings::SaveSetting(kApp, kSection, key, value);
}

void PutFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_home = std::make_unique<PrivateConfig>();
    }

    void absentKeysReadEmpty()
    {
        QCOMPARE(Read("HISCORE"), QString());
        QVERIFY(!QFile::exists(settings::StorePath()));
        Write("NAME", "a");
        QCOMPARE(Read("HISCORE"), QString());
        QCOMPARE(settings::GetSetting("Other", kSection, "NAME"), QString());
    }

    void valuesComeBackExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("time") << "00:12:34";
        QTest::newRow("japanese name") << "山田　太郎";
        QTest::newRow("surrounding spaces") << "  name  ";
        QTest::newRow("ideographic spaces only") << "\u3000\u3000";
        QTest::newRow("empty") << "";
        QTest::newRow("quotes, backslash, newline") << "a\"b\\c\nd=e;[f]";
        QTest::newRow("emoji") << "🧩";
    }
    void valuesComeBackExactly()
    {
        QFETCH(QString, value);
        Write("NAME", value);
        QCOMPARE(Read("NAME"), value);
    }

    void otherEntriesSurviveAWrite()
    {
        Write("NAME", "first");
        Write("HISCORE", "00:00:10");
        settings::SaveSetting("Other", "S", "K", "v");
        Write("NAME", "second");
        QCOMPARE(Read("HISCORE"), QString("00:00:10"));
        QCOMPARE(Read("NAME"), QString("second"));
        QCOMPARE(settings::GetSetting("Other", "S", "K"), QString("v"));
    }

    void editsBetweenReadsAreSeen()
    {
        Write("HISCORE", "00:00:10");
        PutFile(settings::StorePath(), R"({"Puzzle":{"SCORE":{"HISCORE":"00:00:05"}}})");
        QCOMPARE(Read("HISCORE"), QString("00:00:05"));
    }

    void badFilesReadAsAbsentAndAreReplacedOnWrite_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("isFolder");
        QTest::newRow("corrupt json") << QByteArray("{\"Puzzle\": {\"SCORE\": {\"HISCORE\": \"00:0") << false;
        QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe\x01garbage", 12) << false;
        QTest::newRow("not an object") << QByteArray("[1, 2, 3]") << false;
        QTest::newRow("wrong types") << QByteArray(R"({"Puzzle":{"SCORE":{"HISCORE":42,"NAME":null}}})") << false;
        QTest::newRow("empty file") << QByteArray() << false;
    }
    void badFilesReadAsAbsentAndAreReplacedOnWrite()
    {
        QFETCH(QByteArray, content);
        PutFile(settings::StorePath(), content);
        QCOMPARE(Read("HISCORE"), QString());
        QCOMPARE(Read("NAME"), QString());
        Write("HISCORE", "00:01:00");
        QCOMPARE(Read("HISCORE"), QString("00:01:00"));
    }

    void failingWriteIsAnErrorNamingTheFile()
    {
        // The store's folder is taken by a file, so nothing can be written there.
        PutFile(m_home->filePath("tavorin"), "in the way");
        try {
            Write("HISCORE", "00:01:00");
            QFAIL("the write did not fail");
        } catch (const errors::AppError& e) {
            QCOMPARE(e.number(), errors::kFileAccess);
            QVERIFY2(QString::fromStdString(e.what()).contains(settings::StorePath()), e.what());
        }
        // A store path that is a folder cannot be read either: reading is an error too.
        QFile::remove(m_home->filePath("tavorin"));
        QDir().mkpath(settings::StorePath());
        QVERIFY_THROWS_EXCEPTION(errors::AppError, Read("HISCORE"));
        QVERIFY_THROWS_EXCEPTION(errors::AppError, Write("HISCORE", "00:01:00"));
    }

    void garbageLockFileChangesNothing()
    {
        PutFile(settings::StorePath() + ".lock", "garbage\n-1\n");
        Write("NAME", "x");
        QCOMPARE(Read("NAME"), QString("x"));
        QVERIFY(QFile::exists(settings::StorePath() + ".lock"));
    }

    void writeKilledAtAnyInstantLeavesAWholeRecord()
    {
        const QRegularExpression time(QStringLiteral("^00:\\d\\d:\\d\\d$"));
        int checked = 0;
        for (int round = 0; round < 25; ++round) {
            QProcess writer;
            writer.start(QStringLiteral(SETTINGS_WRITER), {});
            QVERIFY(writer.waitForStarted());
            // Until the first record exists, let the writer get that far (a sanitizer build takes
            // longer to start than the instants below); then kill it at a random instant.
            for (int waited = 0; !QFile::exists(settings::StorePath()) && waited < 10000; waited += 5)
                QTest::qSleep(5);
            QTest::qSleep(5 + QRandomGenerator::global()->bounded(40));
            ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished());
            if (!QFile::exists(settings::StorePath()))
                continue;
            QFile f(settings::StorePath());
            QVERIFY(f.open(QIODevice::ReadOnly));
            QJsonParseError error{};
            QJsonDocument::fromJson(f.readAll(), &error);
            QCOMPARE(error.error, QJsonParseError::NoError);
            const QString hiscore = Read("HISCORE");
            QVERIFY2(hiscore.isEmpty() || time.match(hiscore).hasMatch(), qPrintable(hiscore));
            QVERIFY(Read("NAME").startsWith(QStringLiteral("プレイヤー")));
            ++checked;
        }
        QVERIFY(checked > 0);
        // No temporary files are left to grow without bound beside the store.
        QVERIFY(QDir(QFileInfo(settings::StorePath()).absolutePath()).entryList(QDir::Files).size() <= 26);
    }

private:
    std::unique_ptr<PrivateConfig> m_home;
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"
