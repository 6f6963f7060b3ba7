// The catalogue of resources compiled into the library: strings, bitmaps, the icon, version data and component records.
//
// Contract
//   Everything here is constant data inside the library's own image; nothing is read from disk.
//   Spans and views point into that image and are valid only while the library is loaded, so
//   whatever leaves the library must be copied first. Ids are 16-bit values widened to 32 bits;
//   string ids and picture ids are separate name spaces. Each entry keeps the language it is
//   filed under (1041 Japanese, or 0 neutral for the two component records). Japanese is the
//   first language: every string is filed under it, and some also under English (1033), the
//   texts a player reads; colours and numbers are the same in every language.
#pragma once

#include <QStringView>

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace qel::catalogue {

inline constexpr std::uint16_t kLanguageNeutral = 0;
inline constexpr std::uint16_t kLanguageJapanese = 1041;
inline constexpr std::uint16_t kLanguageEnglish = 1033;

struct StringEntry {
    std::int32_t id;
    std::u16string_view text;
    std::uint16_t language;
};

enum class Type { Bitmap, IconGroup, Custom };

struct DataEntry {
    Type type;
    std::string_view typeName;  // custom types only: the type's name, e.g. "TYPELIB"
    std::int32_t id;
    std::uint16_t language;
    std::span<const unsigned char> bytes;  // Bitmap: a whole .bmp file; IconGroup: a whole .ico file
    std::int32_t iconId;                   // IconGroup: id of the one icon image the group holds
};

struct VersionString {
    std::u16string_view key;
    std::u16string_view value;
};

// The version resource: fixed part and one string block.
struct VersionInfo {
    std::int32_t id;
    std::uint16_t language;
    std::array<std::uint16_t, 4> fileVersion;
    std::array<std::uint16_t, 4> productVersion;
    std::uint32_t fileType;         // 2: dynamic library
    std::uint32_t fileOs;           // 4: 32-bit Windows, as the catalogue files it
    std::uint16_t blockLanguage;    // 0x0411
    std::uint16_t blockCodePage;    // 0x04B0, Unicode
    std::span<const VersionString> strings;
};

// _IID_QELRES: the byte count 32, then the earlier and the current interface id of _QelRes,
// each in the standard 16-byte layout (first three fields little-endian, then 8 bytes as is).
inline constexpr std::size_t kIidRecordSize = 36;

std::span<const StringEntry> strings();
std::span<const DataEntry> data();
const VersionInfo& versionInfo();

// Null when the catalogue has no such entry. A string is the one filed under `language`, else the
// Japanese one.
const StringEntry* findString(std::int32_t id, std::uint16_t language = kLanguageJapanese);
const DataEntry* find(Type type, std::int32_t id);
// Custom types by name, ignoring case; an empty name finds nothing.
const DataEntry* findCustom(QStringView typeName, std::int32_t id);

}  // namespace qel::catalogue
