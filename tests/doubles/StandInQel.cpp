// Stand-ins for Qel, built twice:
//   failing_qel    reads fail with errors other than "not found": strings with "out of memory",
//                  pictures with "invalid picture" (as a library whose art is damaged would);
//   japanese_qel   (STAND_IN_JAPANESE) a library made before languages: _QelRes alone, no
//                  _QelRes2, its strings the catalogue's Japanese ones; pictures fail as above.
#include "Catalogue.h"
#include "QelInterface.h"

namespace {

using component::HResult;
namespace hr = component::hr;

class FailingRes final : public qel::_QelRes {
public:
    HResult queryInterface(const QUuid& iid, void** object) noexcept override
    {
        if (iid != component::IUnknown::kIid && iid != component::IDispatch::kIid && iid != qel::_QelRes::kIid) {
            *object = nullptr;
            return hr::kNoInterface;
        }
        *object = this;
        addRef();
        return hr::kOk;
    }
    // One object for the library's lifetime: counting references would change nothing here.
    std::uint32_t addRef() noexcept override { return 1; }
    std::uint32_t release() noexcept override { return 1; }
    HResult getTypeInfoCount(std::uint32_t*) noexcept override { return hr::kNotImplemented; }
    HResult getTypeInfo(std::uint32_t, QByteArray*) noexcept override { return hr::kNotImplemented; }
    HResult getIdsOfNames(const QStringList&, QList<component::DispId>*) noexcept override { return hr::kNotImplemented; }
    HResult invoke(component::DispId, component::InvokeKind, const QList<component::DispValue>&,
                   component::DispValue*) noexcept override
    {
        return hr::kNotImplemented;
    }
    HResult Id(std::int16_t id) noexcept override
    {
        m_id = id;
        return hr::kOk;
    }
    HResult Mode(std::int16_t) noexcept override { return hr::kOk; }
    HResult GetResString([[maybe_unused]] QString* text) noexcept override
    {
#ifdef STAND_IN_JAPANESE
        const auto* entry = qel::catalogue::findString(m_id, qel::catalogue::kLanguageJapanese);
        return entry ? (*text = QStringView(entry->text).toString(), hr::kOk) : hr::kResourceNotFound;
#else
        return hr::kOutOfMemory;
#endif
    }
    HResult GetResPicture(component::IPicture** picture) noexcept override
    {
        *picture = nullptr;
        return hr::kInvalidPicture;
    }
    HResult dType(const QString&) noexcept override { return hr::kOk; }
    HResult GetResData(QByteArray*) noexcept override { return hr::kResourceNotFound; }

private:
    std::int16_t m_id = 0;
};

FailingRes g_res;

class Factory final : public component::IClassFactory {
public:
    HResult queryInterface(const QUuid&, void** object) noexcept override
    {
        *object = this;
        return hr::kOk;
    }
    std::uint32_t addRef() noexcept override { return 1; }
    std::uint32_t release() noexcept override { return 1; }
    HResult createInstance(component::IUnknown* outer, const QUuid& iid, void** object) noexcept override
    {
        *object = nullptr;
        if (outer)
            return hr::kNoAggregation;
        return g_res.queryInterface(iid, object);
    }
    HResult lockServer(bool) noexcept override { return hr::kOk; }
};

Factory g_factory;

}  // namespace

extern "C" __attribute__((visibility("default"))) HResult DllGetClassObject(const QUuid& clsid, const QUuid&,
                                                                            void** object)
{
    *object = nullptr;
    if (clsid != qel::kClsidQelRes)
        return hr::kClassNotAvailable;
    *object = static_cast<component::IClassFactory*>(&g_factory);
    return hr::kOk;
}

extern "C" __attribute__((visibility("default"))) HResult DllCanUnloadNow()
{
    return hr::kFalse;
}
