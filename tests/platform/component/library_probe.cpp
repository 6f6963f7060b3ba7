// Creates a QelRes object from a library file as the game does, for tests that run it as another user.
//
//   edges_library_probe <library>
// Registers <library> for QelRes in a registry of its own (a fresh temporary folder), creates one
// object and prints "created" (status 0), or the reason creation failed (status 1).
#include "CreateObject.h"
#include "PrivateConfig.h"
#include "QelInterface.h"
#include "Registry.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace registry = component::registry;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <library>\n", argv[0]);
        return 2;
    }
    const PrivateConfig config({}, {QStringLiteral("system")});
    if (!config.isValid()) {
        std::printf("no temporary folder: %s\n", qPrintable(config.errorString()));
        return 2;
    }
    const registry::Value server{{QStringLiteral("CLSID"), component::guidText(qel::kClsidQelRes), QStringLiteral("InprocServer32")},
                                 QString(), QFile::decodeName(argv[1])};
    QString reason;
    if (component::failed(registry::setValues(registry::userFile(), {server}, &reason))) {
        std::printf("%s\n", qPrintable(reason));
        return 2;
    }
    void* object = nullptr;
    if (component::failed(component::createInstance(qel::kClsidQelRes, qel::_QelRes::kIid, &object, &reason))) {
        std::printf("%s\n", reason.toLocal8Bit().constData());
        return 1;
    }
    static_cast<qel::_QelRes*>(object)->release();
    std::printf("created\n");
    return 0;
}
