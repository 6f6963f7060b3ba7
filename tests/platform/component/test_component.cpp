// Tests of the component layer: the registry file, creation by class id and its failures, and tavorin-regsvr.
#include "CreateObject.h"
#include "InprocServer.h"
#include "Misbehaving.h"
#include "PrivateConfig.h"
#include "QelInterface.h"
#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using component::HResult;
namespace hr = component::hr;
namespace registry = component::registry;

namespace {

constexpr QUuid kUnknownId{0x0badc0de, 0x1111, 0x4222, 0x83, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}  // namespace

class ComponentTest : public QObject {
    Q_OBJECT

private:
    QString library(const QString& name) const { return m_libraries.filePath(name); }
    QString copyLibrary(const QString& source, const QString& name, QFile::Permissions permissions)
    {
        const QString target = library(name);
        if (!QFile::copy(source, target) || !QFile::setPermissions(target, permissions))
            qFatal("cannot prepare %s", qPrintable(target));
        return target;
    }
    HResult registerServer(const QUuid& clsid, const QString& path)
    {
        const registry::Value server{{"CLSID", component::guidText(clsid), "InprocServer32"}, QString(), path};
        return registry::setValues(registry::userFile(), {server});
    }
    QProcess* runRegsvr(const QStringList& arguments)
    {
        auto* process = new QProcess(this);
        process->start(QStringLiteral(REGSVR_TOOL), arguments);
        process->waitForFinished(30000);
        return process;
    }

    // The n-th folder of XDG_CONFIG_DIRS as init() sets it, and the registry file in it.
    QString systemDir(int n) const { return m_config->filePath(QStringLiteral("xdg%1").arg(n)); }
    QString systemFile(int n) const { return systemDir(n) + QStringLiteral("/tavorin/components.json"); }
    // Registers `qel` as an installation does: its own DllRegisterServer, writing into a system dir.
    bool installEntry(const QString& qel, const QString& dir)
    {
        QProcess regsvr;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        UseConfigHome(environment, dir);
        regsvr.setProcessEnvironment(environment);
        regsvr.start(QStringLiteral(REGSVR_TOOL), {qel});
        return regsvr.waitForFinished(30000) && regsvr.exitStatus() == QProcess::NormalExit && regsvr.exitCode() == 0;
    }

    QTemporaryDir m_libraries;
    std::unique_ptr<PrivateConfig> m_config;
    const QFile::Permissions m_executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                          | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

private slots:
    void initTestCase()
    {
        QVERIFY(m_libraries.isValid());
        copyLibrary(QStringLiteral(QEL_LIBRARY), QStringLiteral("libQel.so"), m_executable);
        copyLibrary(QStringLiteral(NOENTRY_LIBRARY), QStringLiteral("libnoentry.so"), m_executable);
        copyLibrary(QStringLiteral(UNRESOLVED_LIBRARY), QStringLiteral("libunresolved.so"), m_executable);
        copyLibrary(QStringLiteral(MISBEHAVING_LIBRARY), QStringLiteral("libmisbehaving.so"), m_executable);
        copyLibrary(QStringLiteral(QEL_LIBRARY), QStringLiteral("libgroupwritable.so"), m_executable | QFile::WriteGroup);
        copyLibrary(QStringLiteral(QEL_LIBRARY), QStringLiteral("libotherwritable.so"), m_executable | QFile::WriteOther);
        QVERIFY(writeAll(library(QStringLiteral("libtext.so")), "this is not a shared library\n"));
        // A library whose copy stopped after 4 KiB: its segments run past the end of the file.
        QVERIFY(writeAll(library(QStringLiteral("libcut.so")), readAll(QStringLiteral(QEL_LIBRARY)).left(4096)));
        // Whatever the umask, these are to fail for what they hold, not for their mode.
        for (const char* name : {"libtext.so", "libcut.so"})
            QVERIFY(QFile::setPermissions(library(QLatin1String(name)), m_executable));
        QVERIFY(QDir(m_libraries.path()).mkdir(QStringLiteral("libfolder.so")));
    }

    // Each test starts with its own empty configuration folder and two empty system config
    // dirs; the real ones (an installed game's /etc/xdg entry among them) are never consulted.
    void init()
    {
        m_config = std::make_unique<PrivateConfig>();
        QVERIFY(m_config->isValid());
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(systemDir(1) + ':' + systemDir(2)));
    }

    void userFileFollowsXdgConfigHome_data()
    {
        QTest::addColumn<QByteArray>("xdgConfigHome");
        QTest::addColumn<QString>("expected");
        const QString home = QDir::homePath();
        QTest::newRow("set") << QByteArray("/srv/conf") << QStringLiteral("/srv/conf/tavorin/components.json");
        QTest::newRow("empty") << QByteArray() << home + QStringLiteral("/.config/tavorin/components.json");
        QTest::newRow("relative is ignored") << QByteArray("conf") << home + QStringLiteral("/.config/tavorin/components.json");
    }
    void userFileFollowsXdgConfigHome()
    {
        QFETCH(QByteArray, xdgConfigHome);
        QFETCH(QString, expected);
        qputenv("XDG_CONFIG_HOME", xdgConfigHome);
        QCOMPARE(registry::userFile(), expected);
    }

    void valuesAreFoundIgnoringCaseAndKeepTheirData()
    {
        const QString file = registry::userFile();
        QCOMPARE(registry::setValues(file, {{{"CLSID", "{AB}", "InprocServer32"}, "", "/lib/a.so"},
                                            {{"CLSID", "{AB}", "InprocServer32"}, "ThreadingModel", "Apartment"}}),
                 hr::kOk);
        QString data;
        QCOMPARE(registry::readValue({"clsid", "{ab}", "inprocserver32"}, "", &data), hr::kOk);
        QCOMPARE(data, QStringLiteral("/lib/a.so"));
        QCOMPARE(registry::readValue({"CLSID", "{AB}", "InprocServer32"}, "threadingmodel", &data), hr::kOk);
        QCOMPARE(data, QStringLiteral("Apartment"));
        QString reason;
        QCOMPARE(registry::readValue({"CLSID", "{CD}", "InprocServer32"}, "", &data, &reason), hr::kRegistryKeyMissing);
        QVERIFY2(reason.contains("{CD}"), qPrintable(reason));
    }

    void removingValuesPrunesOnlyTheKeysTheyEmptied()
    {
        const QString file = registry::userFile();
        QCOMPARE(registry::setValues(file, {{{"CLSID", "{A}"}, "", "a"}, {{"CLSID", "{B}"}, "", "b"}}), hr::kOk);
        QCOMPARE(registry::removeValues(file, {{{"CLSID", "{A}"}, "", {}}}), hr::kOk);
        QString data;
        QCOMPARE(registry::readValue({"CLSID", "{B}"}, "", &data), hr::kOk);
        QVERIFY(!readAll(file).contains("{A}"));
        QCOMPARE(registry::removeValues(file, {{{"CLSID", "{B}"}, "", {}}}), hr::kOk);
        QVERIFY2(!QFile::exists(file), "a registry with nothing left in it is removed");
    }

    void lookupFollowsTheXdgConfigPath_data()
    {
        QTest::addColumn<bool>("set");
        QTest::addColumn<QByteArray>("xdgConfigDirs");
        QTest::addColumn<QStringList>("systemFiles");
        const QString name = QStringLiteral("/tavorin/components.json");
        QTest::newRow("unset") << false << QByteArray() << QStringList{"/etc/xdg" + name};
        QTest::newRow("empty") << true << QByteArray() << QStringList{"/etc/xdg" + name};
        QTest::newRow("in the order given") << true << QByteArray("/b:/a") << QStringList{"/b" + name, "/a" + name};
        QTest::newRow("relative and empty entries skipped")
            << true << QByteArray("conf::/a/:./x") << QStringList{"/a" + name};
        QTest::newRow("only relative entries") << true << QByteArray("conf") << QStringList{};
    }
    void lookupFollowsTheXdgConfigPath()
    {
        QFETCH(bool, set);
        QFETCH(QByteArray, xdgConfigDirs);
        QFETCH(QStringList, systemFiles);
        if (set)
            qputenv("XDG_CONFIG_DIRS", xdgConfigDirs);
        else
            qunsetenv("XDG_CONFIG_DIRS");
        QCOMPARE(registry::systemFiles(), systemFiles);
        QCOMPARE(registry::lookupFiles(), QStringList{registry::userFile()} + systemFiles);
    }

    void aConfigDirNamingTheUsersFolderIsReadOnce()
    {
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_config->path() + "/:/a:/a"));
        QCOMPARE(registry::lookupFiles(), (QStringList{registry::userFile(), "/a/tavorin/components.json"}));
    }

    void eachValueComesFromTheFirstFileHoldingIt()
    {
        const QList<registry::Value> both{{{"CLSID", "{A}"}, "", "system 2"}, {{"CLSID", "{B}"}, "", "system 2"}};
        QCOMPARE(registry::setValues(systemFile(2), both), hr::kOk);
        QCOMPARE(registry::setValues(systemFile(1), {{{"CLSID", "{A}"}, "", "system 1"}}), hr::kOk);
        QCOMPARE(registry::setValues(registry::userFile(), {{{"CLSID", "{C}"}, "", "user"}}), hr::kOk);
        QString data;
        QCOMPARE(registry::readValue({"CLSID", "{A}"}, "", &data), hr::kOk);
        QCOMPARE(data, QStringLiteral("system 1"));
        // The user's file has the key CLSID, but not {B}: the lookup goes on, it does not stop at the file.
        QCOMPARE(registry::readValue({"CLSID", "{B}"}, "", &data), hr::kOk);
        QCOMPARE(data, QStringLiteral("system 2"));

        QCOMPARE(registry::setValues(registry::userFile(), {{{"clsid", "{a}"}, "", "user"}}), hr::kOk);
        QCOMPARE(registry::readValue({"CLSID", "{A}"}, "", &data), hr::kOk);
        QCOMPARE(data, QStringLiteral("user"));
        QCOMPARE(registry::removeValues(registry::userFile(), {{{"CLSID", "{A}"}, "", {}}}), hr::kOk);
        QCOMPARE(registry::readValue({"CLSID", "{A}"}, "", &data), hr::kOk);
        QCOMPARE(data, QStringLiteral("system 1"));
    }

    void aDamagedSystemFileMattersOnlyWhenItIsReached()
    {
        QVERIFY(QDir().mkpath(QFileInfo(systemFile(1)).absolutePath()));
        QVERIFY(writeAll(systemFile(1), "{\"CLSID\": "));
        QCOMPARE(registry::setValues(systemFile(2), {{{"K"}, "", "system 2"}}), hr::kOk);
        QString data;
        QString reason;
        QCOMPARE(registry::readValue({"K"}, "", &data, &reason), hr::kRegistryDamaged);
        QVERIFY2(reason.contains(systemFile(1)), qPrintable(reason));
        QCOMPARE(registry::setValues(registry::userFile(), {{{"K"}, "", "user"}}), hr::kOk);
        QCOMPARE(registry::readValue({"K"}, "", &data), hr::kOk);
        QCOMPARE(data, QStringLiteral("user"));
    }

    void installedQelIsFoundAndAUserRegistrationWins()
    {
        const QString qel = library("libQel.so");
        QVERIFY(installEntry(qel, systemDir(2)));
        const QByteArray installed = readAll(systemFile(2));
        QVERIFY(installed.contains(QFile::encodeName(qel)));
        QVERIFY(!QFile::exists(registry::userFile()));
        void* object = nullptr;
        QCOMPARE(component::createInstance(qel::kClsidQelRes, qel::_QelRes::kIid, &object), hr::kOk);
        static_cast<qel::_QelRes*>(object)->release();

        // A per-user registration of another library takes over (this one cannot serve it).
        QCOMPARE(registerServer(qel::kClsidQelRes, library("libnoentry.so")), hr::kOk);
        QString reason;
        QCOMPARE(component::createInstance(qel::kClsidQelRes, qel::_QelRes::kIid, &object, &reason), hr::kProcNotFound);
        QVERIFY2(reason.contains("libnoentry.so"), qPrintable(reason));

        // Unregistering touches the user's file only: the installed entry serves again.
        QCOMPARE(runRegsvr({"-u", qel})->exitCode(), 0);
        QCOMPARE(component::createInstance(qel::kClsidQelRes, qel::_QelRes::kIid, &object), hr::kOk);
        static_cast<qel::_QelRes*>(object)->release();
        QCOMPARE(readAll(systemFile(2)), installed);
    }

    // A per-user entry left behind by a deleted build names a library that is gone: the next
    // file's entry (the installed game's) serves instead. A library that is there but refused
    // is never passed over, and with nothing to fall back on the first entry's failure shows.
    void anEntryWhoseLibraryIsGoneGivesWayToTheNextFile_data()
    {
        QTest::addColumn<QString>("userEntry");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("because");
        const QString gone = library("gone/build/dev/resources/libQel.so");
        QTest::newRow("library gone, installed entry") << gone << true << int(hr::kOk) << QString();
        QTest::newRow("library gone, no installed entry") << gone << false << int(hr::kModuleNotFound) << gone;
        QTest::newRow("library refused, installed entry") << library("libgroupwritable.so") << true
                                                          << int(hr::kAccessDenied) << "libgroupwritable.so";
    }
    void anEntryWhoseLibraryIsGoneGivesWayToTheNextFile()
    {
        QFETCH(QString, userEntry);
        QFETCH(bool, installed);
        QFETCH(int, expected);
        QFETCH(QString, because);
        if (installed)
            QVERIFY(installEntry(library("libQel.so"), systemDir(2)));
        QCOMPARE(registerServer(qel::kClsidQelRes, userEntry), hr::kOk);
        void* object = nullptr;
        QString reason;
        QCOMPARE(component::createInstance(qel::kClsidQelRes, qel::_QelRes::kIid, &object, &reason), HResult(expected));
        QVERIFY2(reason.contains(because), qPrintable(reason));
        if (object)
            static_cast<qel::_QelRes*>(object)->release();
    }

    void lookupsSeeEveryChangeToTheFile_data()
    {
        QTest::addColumn<bool>("atomicReplace");
        QTest::addColumn<QString>("second");
        QTest::newRow("replaced by a writer") << true << QStringLiteral("/lib/b.so");
        QTest::newRow("rewritten in place, same size") << false << QStringLiteral("/lib/b.so");
        QTest::newRow("rewritten in place, longer") << false << QStringLiteral("/lib/longer.so");
    }
    void lookupsSeeEveryChangeToTheFile()
    {
        QFETCH(bool, atomicReplace);
        QFETCH(QString, second);
        const QString file = registry::userFile();
        QCOMPARE(registry::setValues(file, {{{"K"}, "", "/lib/a.so"}}), hr::kOk);
        QString data;
        QCOMPARE(registry::readValue({"K"}, "", &data), hr::kOk);
        QCOMPARE(data, QStringLiteral("/lib/a.so"));
        if (atomicReplace)
            QCOMPARE(registry::setValues(file, {{{"K"}, "", second}}), hr::kOk);
        else
            QVERIFY(writeAll(file, QStringLiteral("{\"K\": {\"\": \"%1\"}}").arg(second).toUtf8()));
        QCOMPARE(registry::readValue({"K"}, "", &data), hr::kOk);
        QCOMPARE(data, second);
    }

    void damagedRegistryIsReportedAndNeverOverwritten_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("readResult");
        QTest::newRow("binary garbage") << QByteArray("\x00\xff\x13garbage\x7f", 12) << int(hr::kRegistryDamaged);
        QTest::newRow("cut short") << QByteArray("{\"CLSID\": {\"{A}\": ") << int(hr::kRegistryDamaged);
        QTest::newRow("not an object") << QByteArray("[1, 2, 3]") << int(hr::kRegistryDamaged);
        QTest::newRow("value where a key belongs") << QByteArray("{\"CLSID\": \"text\"}") << int(hr::kRegistryKeyMissing);
    }
    void damagedRegistryIsReportedAndNeverOverwritten()
    {
        QFETCH(QByteArray, contents);
        QFETCH(int, readResult);
        const QString file = registry::userFile();
        QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
        QVERIFY(writeAll(file, contents));

        QString reason;
        QString data;
        QCOMPARE(registry::readValue({"CLSID", "{A}"}, "", &data, &reason), HResult(readResult));
        QString writeReason;
        QCOMPARE(registry::setValues(file, {{{"CLSID", "{A}"}, "", "x"}}, &writeReason), hr::kRegistryDamaged);
        QVERIFY2(writeReason.contains(file) && writeReason.contains("damaged"), qPrintable(writeReason));
        QCOMPARE(readAll(file), contents);
    }

    void concurrentWritersKeepEveryValue()
    {
        constexpr int kWriters = 4;
        constexpr int kValuesEach = 20;
        const QString file = registry::userFile();
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int w = 0; w < kWriters; ++w) {
            writers.push_back(std::make_unique<QProcess>());
            writers.back()->start(QStringLiteral(REGISTRY_WRITER),
                                  {file, QStringLiteral("w%1").arg(w), QString::number(kValuesEach)});
        }
        int readsDuringWrites = 0;
        bool running = true;
        while (running) {
            running = false;
            for (const auto& writer : writers)
                running = running || writer->state() != QProcess::NotRunning;
            QString data;
            const HResult result = registry::readValue({"Writers", "w0"}, "w0-0", &data);
            QVERIFY2(result == hr::kOk || result == hr::kRegistryKeyMissing, "a reader saw a damaged file");
            ++readsDuringWrites;
            for (const auto& writer : writers)
                writer->waitForFinished(1);
        }
        for (const auto& writer : writers) {
            QCOMPARE(writer->exitStatus(), QProcess::NormalExit);
            QCOMPARE(writer->exitCode(), 0);
        }
        for (int w = 0; w < kWriters; ++w) {
            for (int i = 0; i < kValuesEach; ++i) {
                const QString name = QStringLiteral("w%1-%2").arg(w).arg(i);
                QString data;
                QCOMPARE(registry::readValue({"Writers", QStringLiteral("w%1").arg(w)}, name, &data), hr::kOk);
                QCOMPARE(data, name);
            }
        }
        QVERIFY(readsDuringWrites > 0);
        QVERIFY2(!QFile::exists(file + ".lock"), "the lock file is gone once every writer is done");
    }

    void creationFailureNamesTheClassAndTheReason_data()
    {
        QTest::addColumn<QByteArray>("registryFile");  // null: no file; "<folder>": a folder in its place
        QTest::addColumn<QString>("server");           // registered for the class, unless empty
        QTest::addColumn<QUuid>("clsid");
        QTest::addColumn<QUuid>("iid");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("because");
        const QUuid qel = qel::kClsidQelRes;
        const QUuid iid = qel::_QelRes::kIid;
        const QString qelCopy = library("libQel.so");
        QTest::newRow("no registry") << QByteArray() << QString() << qel << iid << int(hr::kClassNotRegistered)
                                     << "is not registered";
        QTest::newRow("class not registered") << QByteArray("{\"CLSID\": {}}") << QString() << qel << iid
                                              << int(hr::kClassNotRegistered) << "is not registered";
        QTest::newRow("registry garbage") << QByteArray("\x01\x02 not json", 11) << QString() << qel << iid
                                          << int(hr::kRegistryDamaged) << "is damaged";
        QTest::newRow("registry unreadable") << QByteArray("<folder>") << QString() << qel << iid
                                             << int(hr::kRegistryUnreadable) << "cannot be read";
        QTest::newRow("library missing") << QByteArray() << library("libgone.so") << qel << iid
                                         << int(hr::kModuleNotFound) << "cannot be found";
        QTest::newRow("relative path") << QByteArray() << "libQel.so" << qel << iid << int(hr::kAccessDenied)
                                       << "is not absolute";
        QTest::newRow("group-writable") << QByteArray() << library("libgroupwritable.so") << qel << iid
                                        << int(hr::kAccessDenied) << "can be written by its group or by others";
        QTest::newRow("other-writable") << QByteArray() << library("libotherwritable.so") << qel << iid
                                        << int(hr::kAccessDenied) << "can be written by its group or by others";
        QTest::newRow("a folder") << QByteArray() << library("libfolder.so") << qel << iid << int(hr::kAccessDenied)
                                  << "is not a regular file";
        QTest::newRow("not a shared library") << QByteArray() << library("libtext.so") << qel << iid
                                              << int(hr::kBadFormat) << "cannot be loaded";
        QTest::newRow("library cut short") << QByteArray() << library("libcut.so") << qel << iid << int(hr::kBadFormat)
                                           << "cannot be loaded: the file is cut off";
        QTest::newRow("unresolved symbol") << QByteArray() << library("libunresolved.so") << qel << iid
                                           << int(hr::kBadFormat) << "tavorin_test_function_that_nobody_defines";
        QTest::newRow("entry point missing") << QByteArray() << library("libnoentry.so") << qel << iid
                                             << int(hr::kProcNotFound) << "has no entry point DllGetClassObject";
        QTest::newRow("class not served") << QByteArray() << qelCopy << kUnknownId << iid
                                          << int(hr::kClassNotAvailable) << "does not serve this class";
        QTest::newRow("interface not supported") << QByteArray() << qelCopy << qel << kUnknownId
                                                 << int(hr::kNoInterface)
                                                 << "does not support interface " + component::guidText(kUnknownId);
        QTest::newRow("no class factory") << QByteArray() << library("libmisbehaving.so") << misbehaving::kNoFactory
                                          << iid << int(hr::kUnexpected) << "handed out no class factory";
        QTest::newRow("entry point throws") << QByteArray() << library("libmisbehaving.so") << misbehaving::kThrows
                                            << iid << int(hr::kUnexpected) << "threw an exception";
        QTest::newRow("factory hands out nothing") << QByteArray() << library("libmisbehaving.so")
                                                   << misbehaving::kNoObject << iid << int(hr::kUnexpected)
                                                   << "handed out no object";
        QTest::newRow("factory fails") << QByteArray() << library("libmisbehaving.so") << misbehaving::kFactoryFails
                                       << iid << int(hr::kFail) << "failed with 0x80004005";
    }
    void creationFailureNamesTheClassAndTheReason()
    {
        QFETCH(QByteArray, registryFile);
        QFETCH(QString, server);
        QFETCH(QUuid, clsid);
        QFETCH(QUuid, iid);
        QFETCH(int, expected);
        QFETCH(QString, because);
        const QString file = registry::userFile();
        QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
        if (registryFile == "<folder>")
            QVERIFY(QDir().mkpath(file));
        else if (!registryFile.isNull())
            QVERIFY(writeAll(file, registryFile));
        if (!server.isEmpty())
            QCOMPARE(registerServer(clsid, server), hr::kOk);

        void* object = reinterpret_cast<void*>(0x1);
        QString reason;
        QCOMPARE(component::createInstance(clsid, iid, &object, &reason), HResult(expected));
        QCOMPARE(object, nullptr);
        QVERIFY2(reason.contains(component::guidText(clsid)), qPrintable(reason));
        QVERIFY2(reason.contains(because), qPrintable(reason));
    }

    void createObjectThrowsCannotCreateObject()
    {
        try {
            component::createObject<qel::_QelRes>(qel::kClsidQelRes);
            QFAIL("created an object of a class nobody registered");
        } catch (const errors::AppError& error) {
            QCOMPARE(error.number(), errors::kCannotCreateObject);
            const QString text = QString::fromStdString(error.what());
            QVERIFY2(text.contains(component::guidText(qel::kClsidQelRes)) && text.contains("not registered"),
                     qPrintable(text));
        }
    }

    void regsvrReportsEachOutcome_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        const QString qel = library("libQel.so");
        QTest::newRow("register") << QStringList{qel} << 0 << "Registered " + qel;
        QTest::newRow("unregister") << QStringList{"-u", qel} << 0 << "Unregistered " + qel;
        QTest::newRow("no file named") << QStringList{} << 2 << "usage";
        QTest::newRow("unknown option") << QStringList{"-x", qel} << 2 << "usage";
        QTest::newRow("missing file") << QStringList{library("libgone.so")} << 1 << "cannot be found";
        QTest::newRow("not a shared library") << QStringList{library("libtext.so")} << 1 << "cannot be loaded";
        QTest::newRow("library cut short") << QStringList{library("libcut.so")} << 1 << "cannot be loaded: the file is cut off";
        QTest::newRow("no entry point") << QStringList{library("libnoentry.so")} << 1
                                        << "has no entry point DllRegisterServer";
        QTest::newRow("group-writable") << QStringList{library("libgroupwritable.so")} << 1
                                        << "can be written by its group";
    }
    void regsvrReportsEachOutcome()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        QProcess* process = runRegsvr(arguments);
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), exitCode);
        const QString output = QString::fromLocal8Bit(exitCode == 0 ? process->readAllStandardOutput()
                                                                    : process->readAllStandardError());
        QVERIFY2(output.contains(says), qPrintable(output));
    }

    void regsvrRegistrationIsWhatCreationFinds()
    {
        const QString qel = library("libQel.so");
        QCOMPARE(runRegsvr({qel})->exitCode(), 0);
        void* object = nullptr;
        QCOMPARE(component::createInstance(qel::kClsidQelRes, qel::_QelRes::kIid, &object), hr::kOk);
        static_cast<qel::_QelRes*>(object)->release();
        QCOMPARE(runRegsvr({"-u", qel})->exitCode(), 0);
        QCOMPARE(component::createInstance(qel::kClsidQelRes, qel::_QelRes::kIid, &object), hr::kClassNotRegistered);
        QVERIFY(!QFile::exists(registry::userFile()));
    }
};

QTEST_GUILESS_MAIN(ComponentTest)
#include "test_component.moc"
