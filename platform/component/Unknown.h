// The binary object model shared by the game and its component libraries: result codes, IUnknown, IClassFactory.
//
// Contract
//   An interface is an abstract class holding only pure virtual functions and no virtual
//   destructor, so its vtable slots are exactly its declared functions in order, after those of
//   its base (Itanium C++ ABI). This is what lets a library built separately be called through
//   the same slots. Each interface names its id as the static member kIid.
//   Every object is reference counted: queryInterface and addRef add a reference that the
//   caller owns and gives back with release; the last release frees the object. No method
//   throws; a failure comes back as a negative HResult, and an interface pointer out-parameter
//   is then null. Result codes keep the classic numeric values so they read familiar in reports.
#pragma once

#include <QUuid>

#include <cstdint>

namespace component {

using HResult = std::int32_t;

constexpr bool succeeded(HResult result) { return result >= 0; }
constexpr bool failed(HResult result) { return result < 0; }

namespace hr {
inline constexpr HResult kOk = 0;
inline constexpr HResult kFalse = 1;  // success, answer "no" (e.g. DllCanUnloadNow)
inline constexpr HResult kNotImplemented = static_cast<HResult>(0x80004001u);
inline constexpr HResult kNoInterface = static_cast<HResult>(0x80004002u);
inline constexpr HResult kPointer = static_cast<HResult>(0x80004003u);       // a required pointer was null
inline constexpr HResult kFail = static_cast<HResult>(0x80004005u);
inline constexpr HResult kUnexpected = static_cast<HResult>(0x8000FFFFu);    // a callee broke the rules
inline constexpr HResult kAccessDenied = static_cast<HResult>(0x80070005u);  // e.g. an unsafe library path
inline constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000Eu);
inline constexpr HResult kInvalidArgument = static_cast<HResult>(0x80070057u);
inline constexpr HResult kModuleNotFound = static_cast<HResult>(0x8007007Eu);   // library file missing
inline constexpr HResult kProcNotFound = static_cast<HResult>(0x8007007Fu);     // entry point missing
inline constexpr HResult kBadFormat = static_cast<HResult>(0x800700C1u);        // file cannot be loaded
inline constexpr HResult kResourceNotFound = static_cast<HResult>(0x80070716u); // no resource of that id/type
inline constexpr HResult kNoAggregation = static_cast<HResult>(0x80040110u);
inline constexpr HResult kClassNotAvailable = static_cast<HResult>(0x80040111u); // library does not serve the class
inline constexpr HResult kClassNotRegistered = static_cast<HResult>(0x80040154u);
inline constexpr HResult kRegistryUnreadable = static_cast<HResult>(0x80040150u);
inline constexpr HResult kRegistryUnwritable = static_cast<HResult>(0x80040151u);
inline constexpr HResult kRegistryKeyMissing = static_cast<HResult>(0x80040152u);
inline constexpr HResult kRegistryDamaged = static_cast<HResult>(0x800703F1u);
inline constexpr HResult kRegistryLocked = static_cast<HResult>(0x80070021u);
inline constexpr HResult kInvalidPicture = static_cast<HResult>(0x800A01E1u);  // stored bytes are no picture
inline constexpr HResult kMemberNotFound = static_cast<HResult>(0x80020003u);
inline constexpr HResult kTypeMismatch = static_cast<HResult>(0x80020005u);
inline constexpr HResult kUnknownName = static_cast<HResult>(0x80020006u);
inline constexpr HResult kOverflow = static_cast<HResult>(0x8002000Au);
inline constexpr HResult kBadParamCount = static_cast<HResult>(0x8002000Eu);
}  // namespace hr

class IUnknown {
public:
    static constexpr QUuid kIid{0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

    // On success *object holds the interface `iid` of this object with one added reference;
    // otherwise hr::kNoInterface and *object is null. Asking for kIid of IUnknown always works.
    virtual HResult queryInterface(const QUuid& iid, void** object) noexcept = 0;
    // Both return the new count, for diagnostics only.
    virtual std::uint32_t addRef() noexcept = 0;
    virtual std::uint32_t release() noexcept = 0;

protected:
    ~IUnknown() = default;
};

// Makes objects of one class. A reference held on a factory, like lockServer(true), keeps the
// library that made it loaded.
class IClassFactory : public IUnknown {
public:
    static constexpr QUuid kIid{0x00000001, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

    // A new object at its initial values, as interface `iid` with one reference for the caller.
    // `outer` must be null (no aggregation): hr::kNoAggregation otherwise.
    virtual HResult createInstance(IUnknown* outer, const QUuid& iid, void** object) noexcept = 0;
    virtual HResult lockServer(bool lock) noexcept = 0;

protected:
    ~IClassFactory() = default;
};

// The class id as the registry spells it: upper case with braces, {XXXXXXXX-XXXX-...}.
inline QString guidText(const QUuid& id)
{
    return id.toString(QUuid::WithBraces).toUpper();
}

}  // namespace component
