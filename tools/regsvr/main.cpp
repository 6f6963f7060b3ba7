// tavorin-regsvr: registers or unregisters a component library by calling its own entry points.
//
//   tavorin-regsvr [-u] <library file>
//
// Loads the file through the path check component creation applies (the file checked is the
// file loaded) and calls its DllRegisterServer, or DllUnregisterServer with -u. Exit status 0
// on success, 1 when the library cannot be used or its entry point fails, 2 on a wrong command
// line; every failure prints one line on standard error.
#include "CreateObject.h"
#include "InprocServer.h"
#include "Registry.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

int fail(const QString& message)
{
    std::fprintf(stderr, "tavorin-regsvr: %s\n", message.toLocal8Bit().constData());
    return kFailed;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool unregister = argc > 1 && std::strcmp(argv[1], "-u") == 0;
    const int fileArgument = unregister ? 2 : 1;
    if (argc != fileArgument + 1 || argv[fileArgument][0] == '-') {
        std::fprintf(stderr, "usage: tavorin-regsvr [-u] <library file>\n");
        return kUsage;
    }
    const char* file = argv[fileArgument];

    const QString path = QFileInfo(QFile::decodeName(file)).absoluteFilePath();
    QString reason;
    void* handle = nullptr;
    if (component::failed(component::loadServerLibrary(path, &handle, &reason)))
        return fail(reason);

    const char* entryName = unregister ? component::kDllUnregisterServer : component::kDllRegisterServer;
    void* symbol = ::dlsym(handle, entryName);
    if (!symbol)
        return fail(QStringLiteral("library %1 has no entry point %2").arg(path, QLatin1String(entryName)));

    const component::HResult result = reinterpret_cast<component::DllRegisterServerFn>(symbol)();
    if (component::failed(result)) {
        return fail(QStringLiteral("%1 of %2 failed with 0x%3 (%4); registry file %5")
                        .arg(QLatin1String(entryName), path)
                        .arg(static_cast<quint32>(result), 8, 16, QLatin1Char('0'))
                        .arg(component::resultText(result), component::registry::userFile()));
    }
    std::printf("%s %s in %s\n", unregister ? "Unregistered" : "Registered", path.toLocal8Bit().constData(),
                component::registry::userFile().toLocal8Bit().constData());
    return 0;
}
