// Faults the one-copy-per-login rule must survive, with the real program (offscreen): copies started
// at the same instant, a copy killed outright, and lock files left empty, garbled or unusable.
#include "PrivateConfig.h"

#include <QtTest>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kRaceRounds = 10;

// A copy of the program: its process, and once ended, how.
struct Copy {
    pid_t pid = -1;
    bool ended = false;
    int status = 0;

    bool Poll()
    {
        if (!ended && ::waitpid(pid, &status, WNOHANG) == pid)
            ended = true;
        return ended;
    }
    bool EndedNormally() const { return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0; }
    void Stop()
    {
        if (!Poll()) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            ended = true;
        }
    }
};

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        const QString runtime = m_home.filePath(QStringLiteral("runtime"));
        const QString config = m_home.filePath(QStringLiteral("config"));
        QVERIFY(QDir().mkpath(runtime) && QDir().mkpath(config));
        QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        m_lockPath = runtime + QStringLiteral("/tavorin.lock");

        // The program reads its resource library through the registry: register the built one.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        UseConfigHome(environment, config);
        QProcess regsvr;
        regsvr.setProcessEnvironment(environment);
        regsvr.start(QStringLiteral(REGSVR), {QStringLiteral(QEL_LIBRARY)});
        QVERIFY(regsvr.waitForFinished(30000) && regsvr.exitCode() == 0);

        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral("cache")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (const QString& entry : environment.toStringList())
            m_environment.push_back(entry.toLocal8Bit().toStdString());
    }

    void init()
    {
        QFile::remove(m_lockPath);
        QDir(m_lockPath).removeRecursively();
    }

    void cleanup()
    {
        for (Copy& copy : m_copies)
            copy.Stop();
        m_copies.clear();
    }

    void copiesStartedAtTheSameInstantLeaveExactlyOneRunning_data()
    {
        QTest::addColumn<int>("copies");
        QTest::addColumn<int>("rounds");
        QTest::newRow("two copies") << 2 << kRaceRounds;
        QTest::newRow("four copies") << 4 << 3;
    }
    void copiesStartedAtTheSameInstantLeaveExactlyOneRunning()
    {
        QFETCH(int, copies);
        QFETCH(int, rounds);
        for (int round = 0; round < rounds; ++round) {
            std::vector<Copy> started = StartTogether(copies);
            // All but one end with status 0, well before any window would show.
            QElapsedTimer timer;
            timer.start();
            int ended = 0;
            while (!timer.hasExpired(20000)) {
                ended = 0;
                for (Copy& copy : started)
                    ended += copy.Poll() ? 1 : 0;
                if (ended >= copies - 1)
                    break;
                QTest::qSleep(10);
            }
            QTest::qSleep(1000);   // the one left must stay
            std::vector<Copy*> running;
            for (Copy& copy : started) {
                if (!copy.Poll())
                    running.push_back(&copy);
                else
                    QVERIFY2(copy.EndedNormally(), qPrintable(QStringLiteral("round %1: a copy ended with status %2").arg(round).arg(copy.status)));
            }
            QVERIFY2(running.size() == 1, qPrintable(QStringLiteral("round %1: %2 copies run").arg(round).arg(running.size())));
            QCOMPARE(LockHolder(), std::optional<pid_t>(running.front()->pid));
            running.front()->Stop();
        }
    }

    void copyKilledOutrightDoesNotBlockTheNextStart()
    {
        Copy first = Start();
        QVERIFY2(WaitUntilItHoldsTheLock(first), "the first copy did not run");
        QTest::qSleep(500);   // well into its start-up
        first.Stop();        // SIGKILL: no clean-up of any kind
        QVERIFY(QFile::exists(m_lockPath));   // left behind

        QElapsedTimer sinceKill;
        sinceKill.start();
        Copy next = Start();
        QVERIFY2(WaitUntilItHoldsTheLock(next), "the start after the killed copy did not run");
        const qint64 tookMs = sinceKill.elapsed();
        qInfo("the next copy held the lock %lld ms after the kill", static_cast<long long>(tookMs));
        QVERIFY2(tookMs < 5000, "the next start waited for the killed copy's lock");
        SecondCopyEndsAtOnce();
        QTest::qSleep(500);
        QVERIFY(!next.Poll());
    }

    void leftoverLockFileDoesNotBlock_data()
    {
        QTest::addColumn<QByteArray>("content");   // "<folder>": a folder where the file belongs
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("garbage") << QByteArray("\x00\xff garbage 12345\n-1\n", 20);
        QTest::newRow("another program's lock record") << QByteArray("4242\nTavorin\nhost\n");
        QTest::newRow("a folder in its place") << QByteArray("<folder>");
    }
    void leftoverLockFileDoesNotBlock()
    {
        QFETCH(QByteArray, content);
        if (content == "<folder>") {
            QVERIFY(QDir().mkpath(m_lockPath));
        } else {
            QFile file(m_lockPath);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        }
        Copy copy = Start();
        if (content == "<folder>") {
            // No lock can be taken; the program cannot prove another copy runs, so it runs.
            QTest::qSleep(3000);
            QVERIFY2(!copy.Poll(), "the program did not start");
            return;
        }
        QVERIFY2(WaitUntilItHoldsTheLock(copy), "the program did not start");
        SecondCopyEndsAtOnce();
        QTest::qSleep(500);
        QVERIFY(!copy.Poll());
    }

private:
    // Starts `count` copies that wait at a gate and are let through together, as one click on
    // the program's icon repeated faster than any copy can start.
    std::vector<Copy> StartTogether(int count)
    {
        // Everything the children need is made before fork: between fork and exec they only wait
        // at the gate, change folder, silence their output and exec.
        std::vector<char*> environment;
        for (std::string& entry : m_environment)
            environment.push_back(entry.data());
        environment.push_back(nullptr);
        const QByteArray program = QFile::encodeName(QStringLiteral(TAVORIN));
        const QByteArray runDir = QFile::encodeName(QStringLiteral(TAVORIN_RUN_DIR));
        char* const argv[] = {const_cast<char*>(program.constData()), nullptr};

        int gate[2];
        if (::pipe2(gate, O_CLOEXEC) != 0)
            qFatal("no pipe");
        std::vector<Copy> copies;
        for (int i = 0; i < count; ++i) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::close(gate[1]);
                char byte;
                while (::read(gate[0], &byte, 1) < 0 && errno == EINTR) {
                }
                const int null = ::open("/dev/null", O_RDWR);
                ::dup2(null, 1);
                ::dup2(null, 2);
                if (::chdir(runDir.constData()) == 0)
                    ::execve(argv[0], argv, environment.data());
                ::_exit(127);
            }
            copies.push_back(Copy{pid});
        }
        ::close(gate[0]);
        ::close(gate[1]);   // every copy reads end-of-file at once and goes
        m_copies.insert(m_copies.end(), copies.begin(), copies.end());
        return copies;
    }
    Copy Start() { return StartTogether(1).front(); }

    // The process holding the lock file's lock, if any (read from /proc/locks, which takes no lock).
    std::optional<pid_t> LockHolder() const
    {
        struct stat st{};
        if (::stat(QFile::encodeName(m_lockPath).constData(), &st) != 0)
            return std::nullopt;
        QFile locks(QStringLiteral("/proc/locks"));
        if (!locks.open(QIODevice::ReadOnly))
            qFatal("cannot read /proc/locks");
        const QByteArray inode = ':' + QByteArray::number(static_cast<qulonglong>(st.st_ino)) + ' ';
        for (const QByteArray& line : locks.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            // "1: FLOCK ADVISORY WRITE <pid> <major>:<minor>:<inode> 0 EOF"
            if (fields.size() >= 6 && fields[1] == "FLOCK" && fields[3] == "WRITE" && (fields[5] + ' ').endsWith(inode))
                return static_cast<pid_t>(fields[4].toLong());
        }
        return std::nullopt;
    }

    // Waits until `copy` holds the lock (true) or ends (false).
    bool WaitUntilItHoldsTheLock(Copy& copy, int timeoutMs = 20000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!timer.hasExpired(timeoutMs)) {
            if (LockHolder() == copy.pid)
                return !copy.Poll();
            if (copy.Poll())
                return false;
            QTest::qSleep(10);
        }
        return false;
    }

    // A second copy started now ends at once with status 0: the proof that one runs.
    void SecondCopyEndsAtOnce()
    {
        Copy second = Start();
        QElapsedTimer timer;
        timer.start();
        while (!second.Poll() && !timer.hasExpired(20000))
            QTest::qSleep(10);
        QVERIFY2(second.EndedNormally(), "a second copy did not end with status 0 while the first ran");
    }

    QTemporaryDir m_home;
    QString m_lockPath;
    std::vector<std::string> m_environment;
    std::vector<Copy> m_copies;   // stopped after each test
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "test_single_instance.moc"
