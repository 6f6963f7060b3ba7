// Fuzz target: the component registry file, read as creation reads it and updated as registration writes it.
//
// Each input becomes the user's registry file. The target then looks the resource library's class
// up the way component creation does (registry lookup twice, the second from the cache, then the
// check of the registered library path; the library itself is never loaded here), and registers
// and unregisters a server the way tavorin-regsvr does. Promises checked: lookups end in a value,
// "missing" or "damaged" with a reason, and the cache answers as the file did; a damaged file is
// never overwritten; an update changes only the value it names.
#include "FuzzSupport.h"
#include "CreateObject.h"
#include "QelInterface.h"
#include "Registry.h"

#include <cstddef>
#include <cstdint>

using component::HResult;
namespace hr = component::hr;
namespace registry = component::registry;

namespace {

QStringList ServerKey()
{
    return {QStringLiteral("CLSID"), component::guidText(qel::kClsidQelRes), QStringLiteral("InprocServer32")};
}

struct Lookup {
    HResult result = hr::kUnexpected;
    QString data;
    QString reason;
    bool operator==(const Lookup& o) const { return result == o.result && data == o.data; }
};

Lookup Read(const QString& name)
{
    Lookup lookup;
    lookup.result = registry::readValue(ServerKey(), name, &lookup.data, &lookup.reason);
    return lookup;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const QString home = fuzz::ScratchFolder();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/user")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(home + QStringLiteral("/system")));   // no system registry
    QDir().mkpath(QFileInfo(registry::userFile()).absolutePath());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString file = registry::userFile();
    const QByteArray original(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    fuzz::WriteFile(file, original);

    // Creation's lookup.
    const Lookup server = Read(QString());
    fuzz::Require(server.result == hr::kOk || server.result == hr::kRegistryKeyMissing || server.result == hr::kRegistryDamaged,
                  "a lookup finds the value, misses it, or finds the file damaged", component::resultText(server.result));
    if (server.result == hr::kRegistryDamaged)
        fuzz::Require(server.reason.contains(file), "a damaged registry is named in the reason", server.reason);
    else if (server.result == hr::kRegistryKeyMissing)
        fuzz::Require(!server.reason.isEmpty(), "a missing value comes with a reason");
    fuzz::Require(Read(QString()) == server, "the cached file answers as the file did");
    if (server.result == hr::kOk) {
        QString why;
        const HResult path = component::checkServerPath(server.data, &why);
        fuzz::Require(path == hr::kOk || ((path == hr::kModuleNotFound || path == hr::kAccessDenied || path == hr::kBadFormat) && !why.isEmpty()),
                      "a registered path is accepted or refused with a reason", why);
    }

    // Registration's update, then unregistration's.
    const Lookup threading = Read(QStringLiteral("ThreadingModel"));
    const QString installed = QStringLiteral("/opt/tavorin/lib/libQel.so");
    const registry::Value value{ServerKey(), QString(), installed};
    QString why;
    const HResult set = registry::setValues(file, {value}, &why);
    if (server.result == hr::kRegistryDamaged) {
        fuzz::Require(set == hr::kRegistryDamaged, "a damaged registry refuses an update", component::resultText(set));
        fuzz::Require(fuzz::ReadFile(file) == original, "a damaged registry is never overwritten");
        return 0;
    }
    if (set == hr::kRegistryDamaged) {   // a member on the way holds a value where a key belongs
        fuzz::Require(!why.isEmpty(), "a refused update comes with a reason");
        fuzz::Require(fuzz::ReadFile(file) == original, "a refused update leaves the file as it was");
        return 0;
    }
    fuzz::Require(set == hr::kOk, "an update of a readable registry succeeds", why);
    const Lookup after = Read(QString());
    fuzz::Require(after.result == hr::kOk && after.data == installed, "an updated value is found");
    fuzz::Require(Read(QStringLiteral("ThreadingModel")) == threading, "an update changes only the value it names");
    fuzz::Require(registry::removeValues(file, {value}, &why) == hr::kOk, "a registered value can be removed", why);
    fuzz::Require(Read(QStringLiteral("ThreadingModel")) == threading, "a removal changes only the value it names");
    return 0;
}
