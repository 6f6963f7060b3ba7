// A settings file that is there but cannot be read is an error, never an empty store; a damaged one is kept.
#include "PrivateConfig.h"
#include "SettingsStore.h"
#include "TestUser.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace {

const QString kApp = QStringLiteral("Puzzle");
const QString kSection = QStringLiteral("SCORE");
const QByteArray kRecord = R"({"Puzzle": {"SCORE": {"HISCORE": "00:00:07", "NAME": "best"}}})";

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The bytes of a regular file (never opening a FIFO, which would wait for a writer).
QByteArray ReadFile(const QString& path)
{
    struct stat st{};
    QFile file(path);
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode) || !file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// What a write over the path would change: the entry's type, inode, size and modification time.
QString Snapshot(const QString& path)
{
    struct stat st{};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("missing");
    return QStringLiteral("type %1 inode %2 size %3 modified %4.%5")
        .arg(st.st_mode & S_IFMT)
        .arg(st.st_ino)
        .arg(st.st_size)
        .arg(st.st_mtim.tv_sec)
        .arg(st.st_mtim.tv_nsec);
}

}  // namespace

class UnreadableSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_checker = edges::FindChecker(QStringLiteral(TEST_USER_SCRIPT));
        qInfo("the checks run as %s", m_checker.account.isEmpty() ? "this process's user" : qPrintable(m_checker.account));
    }

    void unreadableStoreIsAnErrorAndStaysAsItWas_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("file without read permission") << "no read permission";
        QTest::newRow("folder without permission") << "no folder permission";
        QTest::newRow("larger than 1 MiB") << "large";
        QTest::newRow("read fails with an I/O error") << "io error";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a FIFO") << "fifo";
        QTest::newRow("a device") << "device";
    }
    // Each case is read and then saved over by a probe run as the unprivileged account (root reads
    // a file of mode 000), which must report error 75 naming the file both times and write nothing.
    void unreadableStoreIsAnErrorAndStaysAsItWas()
    {
        QFETCH(QString, kind);
        if (!m_checker.problem.isEmpty())
            QSKIP(qPrintable(m_checker.problem));

        QTemporaryDir base;
        QVERIFY(base.isValid());
        QVERIFY(QFile::setPermissions(base.path(), QFile::Permissions(0x7755)));   // the account may enter
        const QString config = base.filePath(QStringLiteral("config"));
        const QString folder = config + QStringLiteral("/tavorin");
        QVERIFY(QDir().mkpath(folder));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        UseConfigHome(environment, config);
        UseConfigHome(config);
        const QString path = settings::StorePath();
        QVERIFY(path.startsWith(folder));
        const QByteArray encoded = QFile::encodeName(path);

        if (kind == "large")
            QVERIFY(WriteFile(path, kRecord + QByteArray(2 << 20, ' ')));
        else if (kind == "io error")   // reading a process's memory at address 0 fails with EIO
            QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), path));
        else if (kind == "folder")
            QVERIFY(QDir().mkpath(path));
        else if (kind == "fifo")
            QCOMPARE(::mkfifo(encoded.constData(), 0644), 0);
        else if (kind == "device")
            QVERIFY(QFile::link(QStringLiteral("/dev/null"), path));
        else
            QVERIFY(WriteFile(path, kRecord));
        for (const QString& entry : {config, folder, path})
            QCOMPARE(::lchown(QFile::encodeName(entry).constData(), m_checker.uid, m_checker.gid), 0);
        const QString before = Snapshot(path);
        const QByteArray bytes = ReadFile(path);
        const QString locked = kind == "no folder permission" ? folder : path;
        if (kind.startsWith("no "))
            QCOMPARE(::chmod(QFile::encodeName(locked).constData(), 0), 0);

        const edges::ProbeResult read = edges::RunAs(m_checker, QStringLiteral(SETTINGS_PROBE), {QStringLiteral("get")}, environment);
        const edges::ProbeResult save =
            edges::RunAs(m_checker, QStringLiteral(SETTINGS_PROBE), {QStringLiteral("save"), QStringLiteral("00:59:59")}, environment);
        if (kind.startsWith("no "))
            QCOMPARE(::chmod(QFile::encodeName(locked).constData(), kind == "no folder permission" ? 0755 : 0644), 0);

        for (const edges::ProbeResult& probe : {read, save}) {
            QVERIFY2(probe.finished, "the probe was still waiting on the file at the deadline");
            QVERIFY2(probe.exitCode == 3 && probe.output.startsWith(QStringLiteral("error 75: ")) && probe.output.contains(path),
                     qPrintable(QStringLiteral("status %1: %2").arg(probe.exitCode).arg(probe.output)));
        }
        QCOMPARE(Snapshot(path), before);
        QCOMPARE(ReadFile(path), bytes);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"settings.json"});
    }

    void damagedStoreIsKeptBesideBeforeItIsReplaced_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("kept");
        QTest::newRow("record cut off") << kRecord.left(30) << true;
        QTest::newRow("not an object") << QByteArray("[1, 2, 3]") << true;
        QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe\x01garbage", 12) << true;
        QTest::newRow("empty file, nothing to keep") << QByteArray() << false;
    }
    void damagedStoreIsKeptBesideBeforeItIsReplaced()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, kept);
        PrivateConfig config;
        QVERIFY(config.isValid());
        const QString path = settings::StorePath();
        const QString copy = path + QStringLiteral(".damaged");
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QVERIFY(WriteFile(copy, "an older damaged copy"));
        QVERIFY(WriteFile(path, content));

        QCOMPARE(settings::GetSetting(kApp, kSection, QStringLiteral("HISCORE")), QString());
        settings::SaveSetting(kApp, kSection, QStringLiteral("HISCORE"), QStringLiteral("00:01:00"));
        QCOMPARE(settings::GetSetting(kApp, kSection, QStringLiteral("HISCORE")), QStringLiteral("00:01:00"));
        QCOMPARE(ReadFile(copy), kept ? content : QByteArray("an older damaged copy"));
    }

private:
    edges::Checker m_checker;
};

QTEST_GUILESS_MAIN(UnreadableSettingsTest)
#include "test_unreadable_settings.moc"
