// Faults the settings store must survive: a save killed at any instant, a configuration folder it may not write.
#include "AppError.h"
#include "PrivateConfig.h"
#include "SettingsRecord.h"
#include "SettingsStore.h"
#include "TestSeed.h"

#include <QtTest>

#include <unistd.h>

#include <memory>
#include <optional>

using robustness::Record;
using robustness::RecordNumber;

namespace {

constexpr int kKills = 1000;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the store file holds: the record's number (nothing when the file is not a whole record)
// and the entry that no save touches.
struct OnDisk {
    bool parses = false;
    std::optional<long> record;
    QString kept;
};

OnDisk ReadStoreFile(const QString& path)
{
    OnDisk disk;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(ReadAll(path), &error);
    disk.parses = error.error == QJsonParseError::NoError && document.isObject();
    const QJsonObject app = document.object().value(robustness::kApp).toObject();
    disk.record = RecordNumber(app.value(robustness::kSection).toObject().value(robustness::kRecordKey).toString());
    disk.kept = app.value(QStringLiteral("OTHER")).toObject().value(QStringLiteral("KEEP")).toString();
    return disk;
}

// The numbers the writer said it had saved, in order.
QList<long> Acknowledged(QProcess& writer)
{
    QList<long> numbers;
    for (const QByteArray& line : writer.readAllStandardOutput().split('\n')) {
        bool ok = false;
        const long n = line.toLong(&ok);
        if (ok)
            numbers.append(n);
    }
    return numbers;
}

}  // namespace

class SettingsFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // A copy of the writer that any user may run, whatever the build folder's permissions.
        QVERIFY(m_tools.isValid());
        QVERIFY(QFile::setPermissions(m_tools.path(), QFile::Permissions(0x7755)));
        m_writer = m_tools.filePath(QStringLiteral("settings_writer"));
        QVERIFY(QFile::copy(QStringLiteral(SETTINGS_RECORD_WRITER), m_writer));
        QVERIFY(QFile::setPermissions(m_writer, QFile::Permissions(0x7755)));
    }
    void cleanup() { m_seed.reportIfFailed(); }

    void saveKilledAtRandomInstantsLeavesTheOldOrTheNewRecord()
    {
        m_home = std::make_unique<PrivateConfig>();
        const QString path = settings::StorePath();
        settings::SaveSetting(robustness::kApp, QStringLiteral("OTHER"), QStringLiteral("KEEP"), QStringLiteral("kept"));
        settings::SaveSetting(robustness::kApp, robustness::kSection, robustness::kRecordKey, Record(0));
        long onDisk = 0;

        // How long one save takes here, so that the kills spread over whole saves: the writer's
        // first saves, timed.
        constexpr int kTimedSaves = 20;
        QProcess calibration;
        StartWriter(calibration, 1);
        QElapsedTimer timing;
        timing.start();
        for (int saved = 0; saved < kTimedSaves;) {
            if (calibration.canReadLine())
                saved += calibration.readLine().trimmed().toLong() > 0 ? 1 : 0;
            else
                QVERIFY2(calibration.waitForReadyRead(30000), "the writer stopped saving");
        }
        const qint64 saveMicros = timing.nsecsElapsed() / 1000 / kTimedSaves;
        calibration.kill();
        QVERIFY(calibration.waitForFinished());
        onDisk = *ReadStoreFile(path).record;

        int midSave = 0;      // kills that landed after a save began and before its number was printed
        int beforeAny = 0;    // kills before the first save of a run ended
        for (int kill = 0; kill < kKills; ++kill) {
            QProcess writer;
            StartWriter(writer, onDisk + 1);
            ::usleep(static_cast<useconds_t>(m_seed.random().generateDouble() * double(4 * saveMicros + 1000)));
            writer.kill();
            QVERIFY(writer.waitForFinished());

            const QList<long> saved = Acknowledged(writer);
            const long old = saved.isEmpty() ? onDisk : saved.last();
            const OnDisk disk = ReadStoreFile(path);
            QVERIFY2(disk.parses, qPrintable(QStringLiteral("kill %1 left a file that does not parse").arg(kill)));
            QVERIFY2(disk.record && (*disk.record == old || *disk.record == old + 1),
                     qPrintable(QStringLiteral("kill %1: the file holds %2, not record %3 or %4")
                                    .arg(kill)
                                    .arg(disk.record ? QString::number(*disk.record) : QStringLiteral("no whole record"))
                                    .arg(old)
                                    .arg(old + 1)));
            QCOMPARE(disk.kept, QStringLiteral("kept"));
            midSave += *disk.record == old + 1 ? 1 : 0;
            beforeAny += saved.isEmpty() ? 1 : 0;
            onDisk = *disk.record;
        }
        // Leftovers of killed saves beside the store: the temporary file has no name until just before
        // the rename, so only a kill inside that short window leaves one.
        QStringList others = QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden);
        others.removeAll(QFileInfo(path).fileName());
        qInfo("%d kills, a save taking about %lld us: %d landed between a save's rename and its report, %d before any save "
              "ended; %lld files left beside the store %s",
              kKills, saveMicros, midSave, beforeAny, static_cast<long long>(others.size()), qPrintable(others.join(QLatin1Char(' '))));
        QVERIFY2(others.size() <= kKills / 20, "killed saves leave their temporary files behind");
        QCOMPARE(settings::GetSetting(robustness::kApp, robustness::kSection, robustness::kRecordKey), Record(onDisk));
    }

    void readOnlyConfigurationIsReportedAndLosesNothing_data()
    {
        QTest::addColumn<bool>("storeFolderExists");   // else only the configuration folder does
        QTest::newRow("store folder read-only, record on disk") << true;
        QTest::newRow("configuration folder read-only, no store folder yet") << false;
    }
    void readOnlyConfigurationIsReportedAndLosesNothing()
    {
        QFETCH(bool, storeFolderExists);
        m_home = std::make_unique<PrivateConfig>(QStringLiteral("config"));
        QVERIFY(QFile::setPermissions(m_home->path(), QFile::Permissions(0x7755)));
        const QString path = settings::StorePath();
        const QString readOnly = storeFolderExists ? QFileInfo(path).absolutePath() : m_home->filePath(QStringLiteral("config"));
        if (storeFolderExists)
            settings::SaveSetting(robustness::kApp, robustness::kSection, robustness::kRecordKey, QStringLiteral("before"));
        else
            QVERIFY(QDir().mkpath(readOnly));
        const QByteArray before = ReadAll(path);
        QVERIFY(QFile::setPermissions(readOnly, QFile::Permissions(0x5555)));

        // Permissions do not hold back the superuser: then the save runs as nobody.
        QProcess writer;
        if (::geteuid() == 0)
            writer.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                                     QStringLiteral("--clear-groups"), m_writer, QStringLiteral("once"),
                                                     QStringLiteral("after")});
        else
            writer.start(m_writer, {QStringLiteral("once"), QStringLiteral("after")});
        QVERIFY(writer.waitForFinished(30000));
        const QString report = QString::fromLocal8Bit(writer.readAllStandardError());
        QVERIFY(QFile::setPermissions(readOnly, QFile::Permissions(0x7755)));

        QVERIFY2(writer.exitStatus() == QProcess::NormalExit && writer.exitCode() == 3,
                 qPrintable(QStringLiteral("the save did not fail (status %1): %2").arg(writer.exitCode()).arg(report)));
        QVERIFY2(report.startsWith(QStringLiteral("error %1: ").arg(errors::kFileAccess)) && report.contains(path), qPrintable(report));
        QCOMPARE(ReadAll(path), before);
        QCOMPARE(QFile::exists(path), storeFolderExists);
        // Once the folder may be written again, the same save goes through.
        settings::SaveSetting(robustness::kApp, robustness::kSection, robustness::kRecordKey, QStringLiteral("after"));
        QCOMPARE(settings::GetSetting(robustness::kApp, robustness::kSection, robustness::kRecordKey), QStringLiteral("after"));
    }

private:
    // Starts the writer saving records from `first` and returns once it is about to save.
    void StartWriter(QProcess& writer, long first)
    {
        writer.start(m_writer, {QStringLiteral("records"), QString::number(first)});
        QVERIFY(writer.waitForStarted());
        while (!writer.canReadLine())
            QVERIFY2(writer.waitForReadyRead(10000), "the writer did not start");
        QCOMPARE(writer.readLine(), QByteArray("ready\n"));
    }

    std::unique_ptr<PrivateConfig> m_home;
    QTemporaryDir m_tools;
    QString m_writer;
    TestSeed m_seed;
};

QTEST_GUILESS_MAIN(SettingsFaultsTest)
#include "test_settings_faults.moc"
