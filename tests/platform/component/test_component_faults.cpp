// Faults component creation must turn into a clear cannot-create-object error: registered library paths
// that are symbolic links (to writable, missing or looping targets) and files that only look like libraries.
#include "CatalogueIds.h"
#include "CreateObject.h"
#include "PrivateConfig.h"
#include "QelInterface.h"
#include "Registry.h"

#include <QtTest>

#include <link.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace registry = component::registry;

namespace {

// Where the last segment the dynamic loader maps ends in the library file `elf`.
qint64 EndOfLoadedSegments(const QByteArray& elf)
{
    ElfW(Ehdr) header{};
    std::memcpy(&header, elf.constData(), sizeof header);
    qint64 end = 0;
    for (int i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) segment{};
        std::memcpy(&segment, elf.constData() + header.e_phoff + i * sizeof segment, sizeof segment);
        if (segment.p_type == PT_LOAD)
            end = std::max<qint64>(end, qint64(segment.p_offset + segment.p_filesz));
    }
    return end;
}

}  // namespace

class ComponentFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_libraries.isValid());
        const auto copy = [this](const QString& source, const QString& name, QFile::Permissions permissions) {
            return QFile::copy(source, Library(name)) && QFile::setPermissions(Library(name), permissions);
        };
        const QFile::Permissions safe(0x7755);   // rwxr-xr-x
        QVERIFY(copy(QStringLiteral(QEL_LIBRARY), QStringLiteral("libQel.so"), safe));
        QVERIFY(copy(QStringLiteral(QEL_LIBRARY), QStringLiteral("libgroupwritable.so"), safe | QFile::WriteGroup));
        QVERIFY(copy(QStringLiteral(QEL_LIBRARY), QStringLiteral("libotherwritable.so"), safe | QFile::WriteOther));
        QVERIFY(copy(QCoreApplication::applicationFilePath(), QStringLiteral("libprogram.so"), safe));   // a program, not a library

        QFile library(QStringLiteral(QEL_LIBRARY));
        QVERIFY(library.open(QIODevice::ReadOnly));
        const QByteArray whole = library.readAll();
        const qint64 loaded = EndOfLoadedSegments(whole);
        QVERIFY(loaded > 4096 && loaded <= whole.size());
        for (const auto& [name, bytes] : {std::pair{"libempty.so", QByteArray()}, std::pair{"libhead.so", whole.left(4096)},
                                          std::pair{"libshort.so", whole.left(loaded - 1)}}) {
            QFile file(Library(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
            file.close();
            QVERIFY(QFile::setPermissions(file.fileName(), safe));
        }

        QVERIFY(QFile::link(Library(QStringLiteral("libgroupwritable.so")), Library(QStringLiteral("liblink-groupwritable.so"))));
        QVERIFY(QFile::link(QStringLiteral("libotherwritable.so"), Library(QStringLiteral("liblink-relative-otherwritable.so"))));
        QVERIFY(QFile::link(Library(QStringLiteral("liblink-groupwritable.so")), Library(QStringLiteral("liblink-chain.so"))));
        QVERIFY(QFile::link(Library(QStringLiteral("libgone.so")), Library(QStringLiteral("liblink-dangling.so"))));
        QVERIFY(QFile::link(Library(QStringLiteral("liblink-loop-b.so")), Library(QStringLiteral("liblink-loop-a.so"))));
        QVERIFY(QFile::link(Library(QStringLiteral("liblink-loop-a.so")), Library(QStringLiteral("liblink-loop-b.so"))));
        QVERIFY(QFile::link(m_libraries.path(), Library(QStringLiteral("liblink-folder.so"))));
        QVERIFY(QFile::link(Library(QStringLiteral("libQel.so")), Library(QStringLiteral("liblink-safe.so"))));
    }

    // Each case starts from its own empty registry; neither the real one nor a system one is read.
    void init()
    {
        m_config = std::make_unique<PrivateConfig>(QStringLiteral("user"), QStringList{QStringLiteral("system")});
        QVERIFY(m_config->isValid());
    }

    void registeredPathFaultsCannotCreateTheObject_data()
    {
        QTest::addColumn<QString>("registered");
        QTest::addColumn<QString>("because");
        const QString writable = QStringLiteral("can be written by its group or by others");
        QTest::newRow("symbolic link to a group-writable library") << Library("liblink-groupwritable.so") << writable;
        QTest::newRow("relative symbolic link to an other-writable library") << Library("liblink-relative-otherwritable.so") << writable;
        QTest::newRow("chain of links to a writable library") << Library("liblink-chain.so") << writable;
        QTest::newRow("dangling symbolic link") << Library("liblink-dangling.so") << QStringLiteral("cannot be found");
        QTest::newRow("symbolic link loop") << Library("liblink-loop-a.so") << QStringLiteral("cannot be found");
        QTest::newRow("symbolic link to a folder") << Library("liblink-folder.so") << QStringLiteral("is not a regular file");
        QTest::newRow("path through a file") << Library("libQel.so/libQel.so") << QStringLiteral("cannot be found");
        QTest::newRow("empty file") << Library("libempty.so") << QStringLiteral("cannot be loaded");
        QTest::newRow("first 4 KiB of a library") << Library("libhead.so") << QStringLiteral("cannot be loaded");
        QTest::newRow("library one byte short of its last segment") << Library("libshort.so") << QStringLiteral("cannot be loaded");
        QTest::newRow("a program") << Library("libprogram.so") << QStringLiteral("cannot be loaded");
        QTest::newRow("empty path") << QString() << QStringLiteral("no library path is registered");
    }
    void registeredPathFaultsCannotCreateTheObject()
    {
        QFETCH(QString, registered);
        QFETCH(QString, because);
        Register(registered);
        try {
            component::createObject<qel::_QelRes>(qel::kClsidQelRes);
            QFAIL("an object was created");
        } catch (const errors::AppError& error) {
            const QString text = QString::fromStdString(error.what());
            QCOMPARE(error.number(), errors::kCannotCreateObject);
            QVERIFY2(text.startsWith(QStringLiteral("Cannot create an object of class ") + component::guidText(qel::kClsidQelRes)),
                     qPrintable(text));
            QVERIFY2(text.contains(because), qPrintable(text));
            if (!registered.isEmpty())
                QVERIFY2(text.contains(registered), qPrintable(text));
        }
    }

    void symbolicLinkToASafeLibraryIsFollowed()
    {
        // The control for the cases above: a link as such is no fault.
        Register(Library(QStringLiteral("liblink-safe.so")));
        const auto res = component::createObject<qel::_QelRes>(qel::kClsidQelRes);
        QVERIFY(res.get());
        QCOMPARE(res->Id(qel::ids::str::kSelectCaption), component::hr::kOk);
        QString text;
        QCOMPARE(res->GetResString(&text), component::hr::kOk);
        QVERIFY(!text.isEmpty());
    }

private:
    QString Library(const QString& name) const { return m_libraries.filePath(name); }
    void Register(const QString& path)
    {
        const registry::Value server{{QStringLiteral("CLSID"), component::guidText(qel::kClsidQelRes), QStringLiteral("InprocServer32")},
                                     QString(), path};
        QCOMPARE(registry::setValues(registry::userFile(), {server}), component::hr::kOk);
    }

    QTemporaryDir m_libraries;
    std::unique_ptr<PrivateConfig> m_config;
};

QTEST_GUILESS_MAIN(ComponentFaultsTest)
#include "test_component_faults.moc"
