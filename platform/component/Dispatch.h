// IDispatch: late-bound access to an object's members by name or dispatch id.
//
// Contract
//   getIdsOfNames maps member names (case-insensitive) to dispatch ids; invoke calls a member by
//   id as a method, property get or property put. Arguments and the result are DispValues: a
//   property put takes exactly one argument, a property get none. Integer arguments are coerced
//   to the member's width, failing with hr::kOverflow when they do not fit. An interface pointer
//   result is a ComPtr the caller owns. getTypeInfo hands out the description of the interface
//   in the library's own type-library format (a copy of its bytes).
#pragma once

#include "ComPtr.h"
#include "Unknown.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <variant>

namespace component {

using DispId = std::int32_t;
inline constexpr DispId kDispIdUnknown = -1;

enum class InvokeKind : std::uint16_t { Method = 1, PropertyGet = 2, PropertyPut = 4 };

using DispValue = std::variant<std::monostate, std::int16_t, std::int32_t, QString, QByteArray, ComPtr<IUnknown>>;

class IDispatch : public IUnknown {
public:
    static constexpr QUuid kIid{0x00020400, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

    virtual HResult getTypeInfoCount(std::uint32_t* count) noexcept = 0;
    virtual HResult getTypeInfo(std::uint32_t index, QByteArray* description) noexcept = 0;
    // One id per name, kDispIdUnknown for a name the interface lacks (then hr::kUnknownName).
    virtual HResult getIdsOfNames(const QStringList& names, QList<DispId>* ids) noexcept = 0;
    // `result` may be null when the caller does not want it.
    virtual HResult invoke(DispId member, InvokeKind kind, const QList<DispValue>& arguments,
                           DispValue* result) noexcept = 0;

protected:
    ~IDispatch() = default;
};

}  // namespace component
