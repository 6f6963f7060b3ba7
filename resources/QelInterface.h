// _QelRes, the class interface of the resource library Qel, with the ids a caller binds by.
//
// Contract
//   Create an object with component::createObject<qel::_QelRes>(qel::kClsidQelRes); it
//   answers to _QelRes::kIid and to the earlier id kIidQelResV0 alike. Set Id (and Mode before
//   a picture read, dType before a data read), then read one result. Each object holds only
//   its three settings (initially 0, 0 and empty) and reads the library's own resources anew on
//   every read; properties cannot be read back.
//   A read of something the catalogue lacks returns hr::kResourceNotFound: nothing is
//   delivered (*picture is set null, a string or byte out-parameter is left untouched) and the
//   object keeps its settings. Results belong to the caller: strings and bytes are independent
//   copies, and every picture read makes a new picture object with one reference to release.
//   Slots: the six members follow IDispatch's seven slots in this order and never move;
//   dispatch ids are in qel::kDispId*. Objects are used on the thread that created them.
//   Languages: the library's strings are filed by language, Japanese first. _QelRes2, which
//   extends _QelRes by one member, Language, chooses the language a string read looks for; a
//   string the library has not in that language is read in Japanese. A library made before
//   _QelRes2 answers kNoInterface when asked for it, and serves its strings as they are: its
//   caller reads them as Japanese.
#pragma once

#include "Dispatch.h"
#include "Picture.h"
#include "Unknown.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace qel {

inline constexpr QUuid kLibidQel{0xF3CE2675, 0x67CC, 0x11D5, 0x99, 0x77, 0x00, 0x90, 0xCC, 0xA6, 0x44, 0x08};
inline constexpr QUuid kClsidQelRes{0xF3CE2677, 0x67CC, 0x11D5, 0x99, 0x77, 0x00, 0x90, 0xCC, 0xA6, 0x44, 0x08};
inline constexpr QUuid kIidQelResV0{0xF3CE2676, 0x67CC, 0x11D5, 0x99, 0x77, 0x00, 0x90, 0xCC, 0xA6, 0x44, 0x08};
inline constexpr char kProgId[] = "Qel.QelRes";

// Values of Mode: the picture type a picture read looks for.
inline constexpr std::int16_t kModeBitmap = 0;
inline constexpr std::int16_t kModeIcon = 1;
inline constexpr std::int16_t kModeCursor = 2;  // the catalogue holds no cursors

inline constexpr component::DispId kDispIdGetResPicture = 0x68030000;
inline constexpr component::DispId kDispIdGetResString = 0x68030001;
inline constexpr component::DispId kDispIdMode = 0x68030002;
inline constexpr component::DispId kDispIdId = 0x68030003;
inline constexpr component::DispId kDispIdGetResData = 0x68030004;
inline constexpr component::DispId kDispIdDType = 0x68030005;
inline constexpr component::DispId kDispIdLanguage = 0x68030006;

// Values of Language: language ids as the catalogue files its entries under them.
inline constexpr std::int16_t kLanguageJapanese = 1041;   // 0x0411, the library's first language
inline constexpr std::int16_t kLanguageEnglish = 1033;    // 0x0409

// The leading underscore is the interface's published name and is kept as it stands.
class _QelRes : public component::IDispatch {
public:
    static constexpr QUuid kIid{0x64E987D6, 0x67EF, 0x11D5, 0x99, 0x77, 0x00, 0x90, 0xCC, 0xA6, 0x44, 0x08};

    // Resource id: held as its 32-bit sign extension (-1 stays -1).
    virtual component::HResult Id(std::int16_t value) noexcept = 0;
    // Picture type for GetResPicture: kModeBitmap, kModeIcon or kModeCursor.
    virtual component::HResult Mode(std::int16_t value) noexcept = 0;
    // The string-table entry with the current id.
    virtual component::HResult GetResString(QString* text) noexcept = 0;
    // The picture resource with the current id and picture type, as a new picture object.
    virtual component::HResult GetResPicture(component::IPicture** picture) noexcept = 0;
    // Name of the custom resource type for GetResData, matched ignoring case.
    virtual component::HResult dType(const QString& value) noexcept = 0;
    // The bytes of the resource of custom type dType with the current id, unchanged.
    virtual component::HResult GetResData(QByteArray* bytes) noexcept = 0;

protected:
    ~_QelRes() = default;
};

// _QelRes with a language for its string reads; the same object, asked for by its own id.
class _QelRes2 : public _QelRes {
public:
    static constexpr QUuid kIid{0x2FC46665, 0x0338, 0x4BB9, 0xB9, 0x20, 0xBC, 0x4A, 0x90, 0x83, 0xF7, 0x26};

    // The language GetResString reads in (kLanguageJapanese, kLanguageEnglish); initially
    // Japanese. Any value is taken: a language the library has no strings in reads Japanese.
    virtual component::HResult Language(std::int16_t value) noexcept = 0;

protected:
    ~_QelRes2() = default;
};

}  // namespace qel
