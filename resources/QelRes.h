// QelRes: the library's one class, which serves the catalogue by id through _QelRes2 (_QelRes and
// its language) and its dispatch interface.
//
// Contract
//   create() makes an object at its initial values (id 0, mode 0, empty type, Japanese) with
//   one reference, or returns null when memory runs out. The object answers to IUnknown,
//   IDispatch, _QelRes, the earlier _QelRes id and _QelRes2. See QelInterface.h for the members.
#pragma once

#include "QelInterface.h"

#include <atomic>

namespace qel {

class QelRes final : public _QelRes2 {
public:
    static QelRes* create() noexcept;

    component::HResult queryInterface(const QUuid& iid, void** object) noexcept override;
    std::uint32_t addRef() noexcept override;
    std::uint32_t release() noexcept override;

    component::HResult getTypeInfoCount(std::uint32_t* count) noexcept override;
    component::HResult getTypeInfo(std::uint32_t index, QByteArray* description) noexcept override;
    component::HResult getIdsOfNames(const QStringList& names, QList<component::DispId>* ids) noexcept override;
    component::HResult invoke(component::DispId member, component::InvokeKind kind,
                              const QList<component::DispValue>& arguments, component::DispValue* result) noexcept override;

    component::HResult Id(std::int16_t value) noexcept override;
    component::HResult Mode(std::int16_t value) noexcept override;
    component::HResult GetResString(QString* text) noexcept override;
    component::HResult GetResPicture(component::IPicture** picture) noexcept override;
    component::HResult dType(const QString& value) noexcept override;
    component::HResult GetResData(QByteArray* bytes) noexcept override;
    component::HResult Language(std::int16_t value) noexcept override;

    // The id as held, for tests of the sign extension; the interface offers no way back.
    std::int32_t heldId() const noexcept { return vId; }

private:
    QelRes() noexcept;  // each object holds the library loaded (module::lock) while it lives
    ~QelRes();

    component::HResult invokePut(component::DispId member, const component::DispValue& argument) noexcept;

    std::atomic<std::uint32_t> m_references{1};
    std::int32_t vId = 0;
    std::int16_t vMode = 0;
    QString vdType;
    std::int16_t vLanguage = kLanguageJapanese;
};

}  // namespace qel
