// A test library whose entry point and class factory break the rules in the ways Misbehaving.h lists.
#include "Misbehaving.h"
#include "Unknown.h"

#include <stdexcept>

namespace {

using component::HResult;
namespace hr = component::hr;

class Factory final : public component::IClassFactory {
public:
    explicit Factory(bool fails) : m_fails(fails) {}
    HResult queryInterface(const QUuid&, void** object) noexcept override
    {
        *object = this;
        return hr::kOk;
    }
    std::uint32_t addRef() noexcept override { return 1; }
    std::uint32_t release() noexcept override { return 1; }
    HResult createInstance(component::IUnknown*, const QUuid&, void** object) noexcept override
    {
        *object = nullptr;
        return m_fails ? hr::kFail : hr::kOk;
    }
    HResult lockServer(bool) noexcept override { return hr::kOk; }

private:
    bool m_fails;
};

Factory g_noObject(false);
Factory g_failing(true);

}  // namespace

extern "C" __attribute__((visibility("default"))) HResult DllGetClassObject(const QUuid& clsid, const QUuid&,
                                                                            void** object)
{
    *object = nullptr;
    if (clsid == misbehaving::kNoFactory)
        return hr::kOk;
    if (clsid == misbehaving::kThrows)
        throw std::runtime_error("misbehaving library");
    if (clsid == misbehaving::kNoObject)
        *object = static_cast<component::IClassFactory*>(&g_noObject);
    else if (clsid == misbehaving::kFactoryFails)
        *object = static_cast<component::IClassFactory*>(&g_failing);
    else
        return hr::kClassNotAvailable;
    return hr::kOk;
}
