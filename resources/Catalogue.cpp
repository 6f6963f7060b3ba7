// The catalogue's tables; the artwork and the type library come in as byte arrays made by xxd at build time.
#include "Catalogue.h"

#include "CatalogueIds.h"
#include "QelInterface.h"

#include <QString>

#include <algorithm>

namespace qel::catalogue {
namespace {

constexpr unsigned char kBitmap1[] = {
#include "bitmap_1.bmp.inc"
};
constexpr unsigned char kBitmap10[] = {
#include "bitmap_10.bmp.inc"
};
constexpr unsigned char kBitmap11[] = {
#include "bitmap_11.bmp.inc"
};
constexpr unsigned char kBitmap12[] = {
#include "bitmap_12.bmp.inc"
};
constexpr unsigned char kBitmap13[] = {
#include "bitmap_13.bmp.inc"
};
constexpr unsigned char kBitmap14[] = {
#include "bitmap_14.bmp.inc"
};
constexpr unsigned char kBitmap15[] = {
#include "bitmap_15.bmp.inc"
};
constexpr unsigned char kBitmap16[] = {
#include "bitmap_16.bmp.inc"
};
constexpr unsigned char kBitmap17[] = {
#include "bitmap_17.bmp.inc"
};
constexpr unsigned char kBitmap30[] = {
#include "bitmap_30.bmp.inc"
};
constexpr unsigned char kBitmap31[] = {
#include "bitmap_31.bmp.inc"
};
constexpr unsigned char kBitmap32[] = {
#include "bitmap_32.bmp.inc"
};
constexpr unsigned char kBitmap33[] = {
#include "bitmap_33.bmp.inc"
};
constexpr unsigned char kBitmap100[] = {
#include "bitmap_100.bmp.inc"
};
constexpr unsigned char kBitmap101[] = {
#include "bitmap_101.bmp.inc"
};
constexpr unsigned char kBitmap102[] = {
#include "bitmap_102.bmp.inc"
};
constexpr unsigned char kBitmap300[] = {
#include "bitmap_300.bmp.inc"
};
constexpr unsigned char kIcon999[] = {
#include "icon_999.ico.inc"
};
constexpr unsigned char kTypeLib[] = {
#include "Qel.typelib.json.inc"
};

constexpr void putGuid(std::array<unsigned char, kIidRecordSize>& out, std::size_t at, const QUuid& id)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<unsigned char>(id.data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) {
        out[at + 4 + i] = static_cast<unsigned char>(id.data2 >> (8 * i));
        out[at + 6 + i] = static_cast<unsigned char>(id.data3 >> (8 * i));
    }
    for (int i = 0; i < 8; ++i)
        out[at + 8 + i] = id.data4[i];
}

constexpr std::array<unsigned char, kIidRecordSize> makeIidRecord()
{
    std::array<unsigned char, kIidRecordSize> out{};
    out[0] = 32;  // bytes of ids that follow, little-endian 32-bit
    putGuid(out, 4, kIidQelResV0);
    putGuid(out, 20, _QelRes::kIid);
    return out;
}
constexpr auto kIidRecord = makeIidRecord();

constexpr std::uint16_t kJa = kLanguageJapanese;
constexpr std::uint16_t kEn = kLanguageEnglish;
static_assert(kLanguageJapanese == std::uint16_t(qel::kLanguageJapanese) && kLanguageEnglish == std::uint16_t(qel::kLanguageEnglish));
namespace str = ids::str;
namespace bmp = ids::bmp;
namespace icon = ids::icon;

constexpr StringEntry kStrings[] = {
    {str::kMainBackColor, u"&H00800000", kJa},
    {str::kClockForeColor, u"&H00FFFFFF", kJa},
    {str::kSelectForeColor, u"&H00FFFFFF", kJa},
    {str::kSelectCaption, u"画像選択", kJa},
    {str::kEndCaption, u"Game Clear", kJa},
    {str::kEndForeColor, u"&H00FF8080", kJa},
    {str::kPreviewBackColor, u"&H00800000", kJa},
    {str::kRecordBackColor, u"&H00800000", kJa},
    {str::kRecordForeColor, u"&H00FFFFFF", kJa},
    {str::pictureName(1), u"ひとり", kJa},
    {str::pictureName(2), u"どらごん", kJa},
    {str::pictureName(3), u"へび", kJa},
    {str::kEndingWidth, u"300", kJa},
    {str::kEndingHeight, u"1500", kJa},
    {str::kEndingSteps, u"1200", kJa},
    {str::kEndingBackColor, u"&H00000000", kJa},
    {str::kSelectCaption, u"Select Picture", kEn},
    {str::pictureName(1), u"Alone", kEn},
    {str::pictureName(2), u"Dragon", kEn},
    {str::pictureName(3), u"Snake", kEn},
};

constexpr DataEntry kData[] = {
    {Type::Bitmap, {}, bmp::kTitle, kJa, kBitmap1, 0},
    {Type::Bitmap, {}, bmp::kEndButton, kJa, kBitmap10, 0},
    {Type::Bitmap, {}, bmp::hover(bmp::kEndButton), kJa, kBitmap11, 0},
    {Type::Bitmap, {}, bmp::kMenuButton, kJa, kBitmap12, 0},
    {Type::Bitmap, {}, bmp::hover(bmp::kMenuButton), kJa, kBitmap13, 0},
    {Type::Bitmap, {}, bmp::kStartButton, kJa, kBitmap14, 0},
    {Type::Bitmap, {}, bmp::hover(bmp::kStartButton), kJa, kBitmap15, 0},
    {Type::Bitmap, {}, bmp::kCloseButton, kJa, kBitmap16, 0},
    {Type::Bitmap, {}, bmp::hover(bmp::kCloseButton), kJa, kBitmap17, 0},
    {Type::Bitmap, {}, bmp::kOkButton, kJa, kBitmap30, 0},
    {Type::Bitmap, {}, bmp::hover(bmp::kOkButton), kJa, kBitmap31, 0},
    {Type::Bitmap, {}, bmp::kClearButton, kJa, kBitmap32, 0},
    {Type::Bitmap, {}, bmp::hover(bmp::kClearButton), kJa, kBitmap33, 0},
    {Type::Bitmap, {}, bmp::picture(1), kJa, kBitmap100, 0},
    {Type::Bitmap, {}, bmp::picture(2), kJa, kBitmap101, 0},
    {Type::Bitmap, {}, bmp::picture(3), kJa, kBitmap102, 0},
    {Type::Bitmap, {}, bmp::kEndingStrip, kJa, kBitmap300, 0},
    {Type::IconGroup, {}, icon::kWindow, kJa, kIcon999, 1},
    {Type::Custom, "TYPELIB", ids::typelib::kQelRes, kLanguageNeutral, kTypeLib, 0},
    {Type::Custom, "_IID_QELRES", 1, kLanguageNeutral, kIidRecord, 0},
};

constexpr VersionString kVersionStrings[] = {
    {u"ProductName", u"Qel"},       {u"FileVersion", u"1.00"},          {u"ProductVersion", u"1.00"},
    {u"InternalName", u"Qel"},      {u"OriginalFilename", u"Qel.dll"},  {u"OLESelfRegister", u""},
};

constexpr VersionInfo kVersionInfo{1, kJa, {1, 0, 0, 0}, {1, 0, 0, 0}, 2, 4, 0x0411, 0x04B0, kVersionStrings};

}  // namespace

std::span<const StringEntry> strings()
{
    return kStrings;
}

std::span<const DataEntry> data()
{
    return kData;
}

const VersionInfo& versionInfo()
{
    return kVersionInfo;
}

const StringEntry* findString(std::int32_t id, std::uint16_t language)
{
    const auto filed = [id](std::uint16_t under) {
        const auto it = std::find_if(std::begin(kStrings), std::end(kStrings),
                                     [id, under](const StringEntry& e) { return e.id == id && e.language == under; });
        return it == std::end(kStrings) ? nullptr : &*it;
    };
    const StringEntry* entry = filed(language);
    return entry ? entry : filed(kLanguageJapanese);
}

const DataEntry* find(Type type, std::int32_t id)
{
    const auto it = std::find_if(std::begin(kData), std::end(kData),
                                 [type, id](const DataEntry& e) { return e.type == type && e.id == id; });
    return it == std::end(kData) ? nullptr : &*it;
}

const DataEntry* findCustom(QStringView typeName, std::int32_t id)
{
    if (typeName.isEmpty())
        return nullptr;
    const auto it = std::find_if(std::begin(kData), std::end(kData), [typeName, id](const DataEntry& e) {
        return e.type == Type::Custom && e.id == id
            && typeName.compare(QLatin1StringView(e.typeName.data(), qsizetype(e.typeName.size())), Qt::CaseInsensitive) == 0;
    });
    return it == std::end(kData) ? nullptr : &*it;
}

}  // namespace qel::catalogue
