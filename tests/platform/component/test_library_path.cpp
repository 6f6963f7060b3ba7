// The library path check: who owns the library and every folder on its path, and that the file checked is the file loaded.
#include "CreateObject.h"
#include "PrivateConfig.h"
#include "QelInterface.h"
#include "Registry.h"
#include "TestUser.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

namespace registry = component::registry;
using component::HResult;

class LibraryPathTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_checker = edges::FindChecker(QStringLiteral(TEST_USER_SCRIPT));
        qInfo("the checks run as %s", m_checker.account.isEmpty() ? "this process's user" : qPrintable(m_checker.account));
    }

    // Each layout line makes one entry below a fresh folder, in order:
    //   "d <owner> <mode> <folder>", "f <owner> <mode> <file>" (a copy of Qel), "l <owner> <link> <target>".
    // Owners: "root", "me" (the account the check runs as), "other" (another account: nobody).
    // `because` is the reason creation fails, "<base>" standing for the fresh folder; empty: it succeeds.
    void pathIsRefusedWhenOthersCouldSwapTheLibrary_data()
    {
        QTest::addColumn<QStringList>("layout");
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("because");
        const QString lib = QStringLiteral("a/libQel.so");
        const QString othersWrite = QStringLiteral("the folder <base>/a can be written by its group or by others");
        QTest::newRow("root's folder, my library") << QStringList{"d root 0755 a", "f me 0755 a/libQel.so"} << lib << "";
        QTest::newRow("my folder, root's library") << QStringList{"d me 0755 a", "f root 0755 a/libQel.so"} << lib << "";
        QTest::newRow("another user's library") << QStringList{"d root 0755 a", "f other 0755 a/libQel.so"} << lib
                                                << "belongs to another user";
        QTest::newRow("another user's folder") << QStringList{"d other 0755 a", "f me 0755 a/libQel.so"} << lib
                                               << "the folder <base>/a belongs to another user";
        QTest::newRow("folder others can write") << QStringList{"d root 0777 a", "f me 0755 a/libQel.so"} << lib << othersWrite;
        QTest::newRow("folder its group can write") << QStringList{"d root 0775 a", "f me 0755 a/libQel.so"} << lib << othersWrite;
        // umask 002 under personal groups: a folder only the user's own group may write is safe.
        QTest::newRow("my folder, my own group can write") << QStringList{"d me 0775 a", "f me 0755 a/libQel.so"} << lib << "";
        QTest::newRow("a folder further up others can write")
            << QStringList{"d root 0777 a", "d root 0755 a/b", "f me 0755 a/b/libQel.so"} << "a/b/libQel.so" << othersWrite;
        QTest::newRow("root's sticky folder") << QStringList{"d root 01777 a", "f me 0755 a/libQel.so"} << lib << "";
        QTest::newRow("my sticky folder") << QStringList{"d me 01777 a", "f me 0755 a/libQel.so"} << lib << "";
        QTest::newRow("another user's sticky folder") << QStringList{"d other 01777 a", "f me 0755 a/libQel.so"} << lib
                                                      << "the folder <base>/a belongs to another user";
        QTest::newRow("my link in a sticky folder")
            << QStringList{"d root 0755 a", "f me 0755 a/libQel.so", "d root 01777 s", "l me s/link.so ../a/libQel.so"}
            << "s/link.so" << "";
        QTest::newRow("another user's link in a sticky folder")
            << QStringList{"d root 0755 a", "f me 0755 a/libQel.so", "d root 01777 s", "l other s/link.so ../a/libQel.so"}
            << "s/link.so" << "the symbolic link <base>/s/link.so belongs to another user";
        QTest::newRow("link to a library in a folder others can write")
            << QStringList{"d root 0777 a", "f me 0755 a/libQel.so", "d root 0755 s", "l me s/link.so ../a/libQel.so"}
            << "s/link.so" << othersWrite;
    }
    // The layout is made by root and the object created by a probe run as the unprivileged account.
    void pathIsRefusedWhenOthersCouldSwapTheLibrary()
    {
        QFETCH(QStringList, layout);
        QFETCH(QString, library);
        QFETCH(QString, because);
        if (!m_checker.problem.isEmpty())
            QSKIP(qPrintable(m_checker.problem));
        const bool root = ::geteuid() == 0;
        if (!root && (layout.join(' ').contains(" root ") || layout.join(' ').contains(" other ")))
            QSKIP("only root can give files to root or to another account");

        QTemporaryDir base;
        QVERIFY(base.isValid());
        QVERIFY(QFile::setPermissions(base.path(), QFile::Permissions(0x7755)));
        for (const QString& line : layout) {
            const QStringList field = line.split(' ');
            QCOMPARE(field.size(), 4);
            const QString path = base.filePath(field[2 + (field[0] == "l" ? 0 : 1)]);
            const QByteArray encoded = QFile::encodeName(path);
            if (field[0] == "d") {
                QVERIFY(QDir().mkdir(path));
            } else if (field[0] == "f") {
                QVERIFY(QFile::copy(QStringLiteral(QEL_LIBRARY), path));
            } else {
                QCOMPARE(::symlink(QFile::encodeName(field[3]).constData(), encoded.constData()), 0);
            }
            if (field[0] != "l")
                QCOMPARE(::chmod(encoded.constData(), mode_t(field[2].toUInt(nullptr, 8))), 0);
            const uid_t uid = field[1] == "root" ? 0 : field[1] == "me" ? m_checker.uid : 65534;
            const gid_t gid = field[1] == "root" ? 0 : field[1] == "me" ? m_checker.gid : 65534;
            QCOMPARE(::lchown(encoded.constData(), uid, gid), 0);
        }

        const QString path = base.filePath(library);
        const edges::ProbeResult probe =
            edges::RunAs(m_checker, QStringLiteral(LIBRARY_PROBE), {path}, QProcessEnvironment::systemEnvironment());
        QVERIFY2(probe.finished, "the probe did not finish");
        if (because.isEmpty()) {
            QVERIFY2(probe.exitCode == 0 && probe.output.trimmed() == "created", qPrintable(probe.output));
        } else {
            const QString reason = QString(because).replace(QStringLiteral("<base>"), base.path());
            QVERIFY2(probe.exitCode == 1 && probe.output.contains(path) && probe.output.contains(reason),
                     qPrintable(QStringLiteral("status %1: %2").arg(probe.exitCode).arg(probe.output)));
        }
    }

    // While one thread swaps a group-writable library in and out under the registered name, the
    // other creates objects through that name: the stand-in must never be loaded. Each round uses a
    // new name, so that every round loads afresh.
    void librarySwappedDuringTheCheckIsNeverLoaded()
    {
        constexpr int kRounds = 300;
        QTemporaryDir folder;
        PrivateConfig config({}, {QStringLiteral("system")});
        QVERIFY(folder.isValid() && config.isValid());
        const QByteArray good = QFile::encodeName(folder.filePath(QStringLiteral("good.so")));
        const QByteArray swapped = QFile::encodeName(folder.filePath(QStringLiteral("swapped.so")));
        const QByteArray spare = QFile::encodeName(folder.filePath(QStringLiteral("spare.so")));
        QVERIFY(QFile::copy(QStringLiteral(QEL_LIBRARY), QFile::decodeName(good)));
        QVERIFY(QFile::copy(QStringLiteral(SWAPPED_IN_LIBRARY), QFile::decodeName(swapped)));
        QCOMPARE(::chmod(good.constData(), 0755), 0);
        QCOMPARE(::chmod(swapped.constData(), 0775), 0);   // refused by the check: its group may write it

        // At least kRounds rounds, and on until both outcomes were seen (a busy machine may run the
        // swapper late in a round), within a deadline.
        QDeadlineTimer deadline(120000);
        int created = 0;
        int refused = 0;
        int round = 0;
        for (; round < kRounds || ((created == 0 || refused == 0) && !deadline.hasExpired()); ++round) {
            const QByteArray name = QFile::encodeName(folder.filePath(QStringLiteral("lib%1.so").arg(round)));
            QCOMPARE(::link(good.constData(), name.constData()), 0);
            const registry::Value server{{QStringLiteral("CLSID"), component::guidText(qel::kClsidQelRes), QStringLiteral("InprocServer32")},
                                         QString(), QFile::decodeName(name)};
            QCOMPARE(registry::setValues(registry::userFile(), {server}), component::hr::kOk);

            std::atomic<bool> stop{false};
            std::thread swapper([&] {
                for (bool useSwapped = true; !stop.load(); useSwapped = !useSwapped) {
                    if (::link(useSwapped ? swapped.constData() : good.constData(), spare.constData()) == 0)
                        ::rename(spare.constData(), name.constData());
                }
            });
            void* object = nullptr;
            const HResult result = component::createInstance(qel::kClsidQelRes, qel::_QelRes::kIid, &object);
            stop = true;
            swapper.join();
            if (component::succeeded(result)) {
                static_cast<qel::_QelRes*>(object)->release();
                ++created;
            } else {
                ++refused;
            }
        }
        qInfo("%d rounds: %d objects created from the checked library, %d refusals", round, created, refused);
        QVERIFY2(!qEnvironmentVariableIsSet("TAVORIN_EDGES_SWAPPED_IN_LOADED"), "a library swapped in after the check was loaded");
        QVERIFY2(created > 0 && refused > 0, "the swaps never overlapped a check: nothing was tested");
    }

private:
    edges::Checker m_checker;
};

QTEST_GUILESS_MAIN(LibraryPathTest)
#include "test_library_path.moc"
