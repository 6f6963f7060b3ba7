// The library's four exported entry points: unload check, class factory, registration and unregistration.
#include "InprocServer.h"
#include "Module.h"
#include "QelRes.h"
#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <type_traits>

#define QEL_ENTRY_POINT extern "C" __attribute__((visibility("default")))

using component::HResult;
namespace hr = component::hr;

namespace {

// The one class factory. It is static: its references only count towards the module count.
class ClassFactory final : public component::IClassFactory {
public:
    HResult queryInterface(const QUuid& iid, void** object) noexcept override
    {
        if (!object)
            return hr::kPointer;
        if (iid == component::IUnknown::kIid || iid == component::IClassFactory::kIid) {
            *object = static_cast<component::IClassFactory*>(this);
            addRef();
            return hr::kOk;
        }
        *object = nullptr;
        return hr::kNoInterface;
    }
    std::uint32_t addRef() noexcept override
    {
        qel::module::lock();
        return ++m_references;
    }
    std::uint32_t release() noexcept override
    {
        const std::uint32_t left = --m_references;
        qel::module::unlock();
        return left;
    }

    HResult createInstance(component::IUnknown* outer, const QUuid& iid, void** object) noexcept override
    {
        if (!object)
            return hr::kPointer;
        *object = nullptr;
        if (outer)
            return hr::kNoAggregation;
        qel::QelRes* created = qel::QelRes::create();
        if (!created)
            return hr::kOutOfMemory;
        const HResult result = created->queryInterface(iid, object);
        created->release();
        return result;
    }

    HResult lockServer(bool lock) noexcept override
    {
        if (lock) {
            ++m_locks;
            qel::module::lock();
            return hr::kOk;
        }
        for (long locks = m_locks.load(); locks > 0;) {
            if (m_locks.compare_exchange_weak(locks, locks - 1)) {
                qel::module::unlock();
                return hr::kOk;
            }
        }
        return hr::kUnexpected;  // more unlocks than locks
    }

private:
    std::atomic<std::uint32_t> m_references{0};
    std::atomic<long> m_locks{0};
};

ClassFactory g_factory;

// The absolute path of this library file, as the dynamic loader found it; empty if unknown.
QString ownPath()
{
    Dl_info info{};
    if (::dladdr(&g_factory, &info) == 0 || !info.dli_fname)
        return {};
    char resolved[PATH_MAX];
    if (!::realpath(info.dli_fname, resolved))
        return {};
    return QFile::decodeName(resolved);
}

// Everything registration writes: the class with its in-process server, the programmatic id
// both ways, the type library and the interface.
QList<component::registry::Value> registration(const QString& path)
{
    using component::guidText;
    const QString clsid = guidText(qel::kClsidQelRes);
    const QString libid = guidText(qel::kLibidQel);
    const QString iid = guidText(qel::_QelRes::kIid);
    const QString progId = QLatin1String(qel::kProgId);
    const QString version = QStringLiteral("1.1");
    const QString automationMarshaller = QStringLiteral("{00020424-0000-0000-C000-000000000046}");
    const QString platform = QStringLiteral("linux%1").arg(QT_POINTER_SIZE * 8);
    const QString clsidKey = QStringLiteral("CLSID");
    return {
        {{clsidKey, clsid}, {}, QStringLiteral("QelRes")},
        {{clsidKey, clsid, QStringLiteral("InprocServer32")}, {}, path},
        {{clsidKey, clsid, QStringLiteral("InprocServer32")}, QStringLiteral("ThreadingModel"), QStringLiteral("Apartment")},
        {{clsidKey, clsid, QStringLiteral("ProgID")}, {}, progId},
        {{clsidKey, clsid, QStringLiteral("TypeLib")}, {}, libid},
        {{clsidKey, clsid, QStringLiteral("VERSION")}, {}, version},
        {{progId}, {}, progId},
        {{progId, clsidKey}, {}, clsid},
        {{QStringLiteral("TypeLib"), libid, version}, {}, QStringLiteral("Qel DLL")},
        {{QStringLiteral("TypeLib"), libid, version, QStringLiteral("0"), platform}, {}, path},
        {{QStringLiteral("TypeLib"), libid, version, QStringLiteral("FLAGS")}, {}, QStringLiteral("0")},
        {{QStringLiteral("TypeLib"), libid, version, QStringLiteral("HELPDIR")}, {}, QFileInfo(path).absolutePath()},
        {{QStringLiteral("Interface"), iid}, {}, QStringLiteral("_QelRes")},
        {{QStringLiteral("Interface"), iid, QStringLiteral("ProxyStubClsid32")}, {}, automationMarshaller},
        {{QStringLiteral("Interface"), iid, QStringLiteral("TypeLib")}, {}, libid},
        {{QStringLiteral("Interface"), iid, QStringLiteral("TypeLib")}, QStringLiteral("Version"), version},
    };
}

}  // namespace

QEL_ENTRY_POINT HResult DllCanUnloadNow()
{
    return qel::module::count() == 0 ? hr::kOk : hr::kFalse;
}

QEL_ENTRY_POINT HResult DllGetClassObject(const QUuid& clsid, const QUuid& iid, void** object)
{
    if (!object)
        return hr::kPointer;
    *object = nullptr;
    if (clsid != qel::kClsidQelRes)
        return hr::kClassNotAvailable;
    return g_factory.queryInterface(iid, object);
}

QEL_ENTRY_POINT HResult DllRegisterServer()
{
    try {
        const QString path = ownPath();
        if (path.isEmpty())
            return hr::kModuleNotFound;
        return component::registry::setValues(component::registry::userFile(), registration(path));
    } catch (...) {
        return hr::kOutOfMemory;
    }
}

QEL_ENTRY_POINT HResult DllUnregisterServer()
{
    try {
        // Values are removed by name, so the path in them does not matter.
        return component::registry::removeValues(component::registry::userFile(), registration(QString()));
    } catch (...) {
        return hr::kOutOfMemory;
    }
}

static_assert(std::is_same_v<decltype(&DllCanUnloadNow), component::DllCanUnloadNowFn>);
static_assert(std::is_same_v<decltype(&DllGetClassObject), component::DllGetClassObjectFn>);
static_assert(std::is_same_v<decltype(&DllRegisterServer), component::DllRegisterServerFn>);
static_assert(std::is_same_v<decltype(&DllUnregisterServer), component::DllUnregisterServerFn>);
