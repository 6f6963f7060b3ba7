// Tests of the catalogue compiled into Qel: every entry against the table, byte layouts and languages.
#include "Catalogue.h"
#include "ExpectedCatalogue.h"
#include "ResPicture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QSet>
#include <QTest>

#include <cstring>

using namespace qel::catalogue;

namespace {

quint32 le32(std::span<const unsigned char> bytes, std::size_t at)
{
    return quint32(bytes[at]) | quint32(bytes[at + 1]) << 8 | quint32(bytes[at + 2]) << 16 | quint32(bytes[at + 3]) << 24;
}
quint16 le16(std::span<const unsigned char> bytes, std::size_t at)
{
    return quint16(bytes[at] | bytes[at + 1] << 8);
}
QByteArray toBytes(std::span<const unsigned char> bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

std::span<const unsigned char> asSpan(const QByteArray& bytes)
{
    return {reinterpret_cast<const unsigned char*>(bytes.constData()), std::size_t(bytes.size())};
}

QImage readWithQt(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer, "bmp").read();
}

// The same 8-bit bitmap with its rows stored top-down (negative height).
QByteArray storedTopDown(const QByteArray& bottomUp)
{
    QByteArray bytes = bottomUp;
    const auto span = asSpan(bottomUp);
    const qint32 width = qint32(le32(span, 18));
    const qint32 height = qint32(le32(span, 22));
    const quint32 pixelsAt = le32(span, 10);
    const int stride = (width + 3) & ~3;
    const qint32 negative = -height;
    std::memcpy(bytes.data() + 22, &negative, 4);
    for (int row = 0; row < height; ++row)
        std::memcpy(bytes.data() + pixelsAt + row * stride, bottomUp.constData() + pixelsAt + (height - 1 - row) * stride,
                    std::size_t(stride));
    return bytes;
}

}  // namespace

class CatalogueTest : public QObject {
    Q_OBJECT

private slots:
    void catalogueHoldsTheTableAndNothingElse()
    {
        QSet<QPair<int, int>> filed, expectedFiled;   // id and language
        for (const StringEntry& entry : strings())
            filed.insert({entry.id, entry.language});
        for (const ExpectedString& expected : kExpectedStrings) {
            expectedFiled.insert({expected.id, kLanguageJapanese});
            if (expected.english)
                expectedFiled.insert({expected.id, kLanguageEnglish});
        }
        QCOMPARE(filed, expectedFiled);
        QCOMPARE(strings().size(), std::size_t(expectedFiled.size()));

        QSet<int> bitmapIds;
        int others = 0;
        for (const DataEntry& entry : data()) {
            if (entry.type == Type::Bitmap)
                bitmapIds.insert(entry.id);
            else
                ++others;
        }
        QSet<int> expectedBitmapIds;
        for (const ExpectedBitmap& expected : kExpectedBitmaps)
            expectedBitmapIds.insert(expected.id);
        QCOMPARE(bitmapIds, expectedBitmapIds);
        QCOMPARE(others, 3);  // the icon group and the two component records
        QVERIFY(!find(Type::Bitmap, kIconGroupId));
        QVERIFY(!find(Type::IconGroup, 1));
    }

    void bitmapsAreEightBitBottomUpDibs_data()
    {
        AddExpectedBitmapRows();
    }
    void bitmapsAreEightBitBottomUpDibs()
    {
        QFETCH(int, id);
        QFETCH(int, width);
        QFETCH(int, height);
        const DataEntry* entry = find(Type::Bitmap, id);
        QVERIFY(entry);
        QCOMPARE(entry->language, kLanguageJapanese);
        const auto bytes = entry->bytes;
        const quint32 stride = (quint32(width) + 3) & ~3u;
        const quint32 pixelsAt = 14 + 40 + 256 * 4;
        QCOMPARE(bytes.size(), std::size_t(pixelsAt + stride * quint32(height)));
        QCOMPARE(char(bytes[0]), 'B');
        QCOMPARE(char(bytes[1]), 'M');
        QCOMPARE(le32(bytes, 2), quint32(bytes.size()));  // file size
        QCOMPARE(le32(bytes, 10), pixelsAt);               // a full 256-entry palette precedes the pixels
        QCOMPARE(le32(bytes, 14), 40u);                    // information header size
        QCOMPARE(qint32(le32(bytes, 18)), width);
        QCOMPARE(qint32(le32(bytes, 22)), height);         // positive: rows stored bottom-up
        QCOMPARE(le16(bytes, 26), quint16(1));             // planes
        QCOMPARE(le16(bytes, 28), quint16(8));             // bits per pixel
        QCOMPARE(le32(bytes, 30), 0u);                     // no compression
        QVERIFY(le32(bytes, 34) == 0 || le32(bytes, 34) == stride * quint32(height));
        QCOMPARE(le32(bytes, 38), 2835u);                  // pixels per metre, both ways
        QCOMPARE(le32(bytes, 42), 2835u);
        QVERIFY(le32(bytes, 46) == 0 || le32(bytes, 46) == 256);  // colours used: the whole palette
    }

    void bitmapsDecodeAsQtReadsThem_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("isBitmap");
        for (const ExpectedBitmap& expected : kExpectedBitmaps)
            QTest::addRow("catalogue %d", expected.id) << toBytes(find(Type::Bitmap, expected.id)->bytes) << true;
        const QByteArray button = toBytes(find(Type::Bitmap, 12)->bytes);
        QTest::newRow("8-bit stored top-down") << storedTopDown(button) << true;
        QImage colour(7, 3, QImage::Format_RGB32);
        for (int y = 0; y < colour.height(); ++y)
            for (int x = 0; x < colour.width(); ++x)
                colour.setPixel(x, y, qRgb(30 * x, 80 * y, 255 - 30 * x));
        QByteArray colourBmp;
        QBuffer out(&colourBmp);
        out.open(QIODevice::WriteOnly);
        QVERIFY(colour.save(&out, "BMP"));
        QTest::newRow("24-bit") << colourBmp << true;
        QTest::newRow("cut off inside the palette") << button.left(200) << false;
        QTest::newRow("not a bitmap") << QByteArray("BM but nothing more") << false;
    }
    void bitmapsDecodeAsQtReadsThem()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, isBitmap);
        const QImage decoded = qel::decodeBitmap(asSpan(bytes));
        QCOMPARE(!decoded.isNull(), isBitmap);
        if (isBitmap)
            QCOMPARE(decoded, readWithQt(bytes));
    }

    void iconGroupHoldsOneSixteenColourIconWithMask()
    {
        const DataEntry* entry = find(Type::IconGroup, kIconGroupId);
        QVERIFY(entry);
        QCOMPARE(entry->language, kLanguageJapanese);
        QCOMPARE(entry->iconId, 1);
        const auto bytes = entry->bytes;
        QCOMPARE(le16(bytes, 0), quint16(0));  // reserved
        QCOMPARE(le16(bytes, 2), quint16(1));  // an icon, not a cursor
        QCOMPARE(le16(bytes, 4), quint16(1));  // one image
        QCOMPARE(int(bytes[6]), 64);               // width
        QCOMPARE(int(bytes[7]), 64);               // height
        QCOMPARE(int(bytes[8]), 16);               // colours
        QCOMPARE(le16(bytes, 12), quint16(4)); // bits per pixel
        const quint32 imageBytes = le32(bytes, 14);
        QCOMPARE(imageBytes, 2664u);           // header 40 + palette 64 + colour rows 2048 + mask rows 512
        const quint32 imageAt = le32(bytes, 18);
        QCOMPARE(bytes.size(), std::size_t(imageAt + imageBytes));
        QCOMPARE(le32(bytes, imageAt), 40u);
        QCOMPARE(qint32(le32(bytes, imageAt + 4)), 64);
        QCOMPARE(qint32(le32(bytes, imageAt + 8)), 128);  // colour rows and mask rows together
        QCOMPARE(le16(bytes, imageAt + 14), quint16(4));
    }

    void interfaceIdRecordIsByteForByte()
    {
        const DataEntry* entry = findCustom(u"_IID_QELRES", 1);
        QVERIFY(entry);
        QCOMPARE(entry->language, kLanguageNeutral);
        const QByteArray expected = QByteArray::fromHex(
            "20000000"                          // 32 bytes of ids follow
            "7626cef3cc67d511997700" "90cca64408"  // {F3CE2676-67CC-11D5-9977-0090CCA64408}, the earlier id
            "d687e964ef67d511997700" "90cca64408"); // {64E987D6-67EF-11D5-9977-0090CCA64408}, _QelRes
        QCOMPARE(toBytes(entry->bytes), expected);
    }

    void typeLibraryRecordIsTheLibrarysDescriptionByteForByte()
    {
        const DataEntry* entry = findCustom(u"TYPELIB", 1);
        QVERIFY(entry);
        QCOMPARE(entry->language, kLanguageNeutral);
        QFile source(QStringLiteral(QEL_TYPELIB_SOURCE));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QCOMPARE(toBytes(entry->bytes), source.readAll());
    }

    void versionInformationIsKeptAsData()
    {
        const VersionInfo& version = versionInfo();
        QCOMPARE(version.id, 1);
        QCOMPARE(version.language, kLanguageJapanese);
        QCOMPARE(version.fileVersion, (std::array<std::uint16_t, 4>{1, 0, 0, 0}));
        QCOMPARE(version.productVersion, (std::array<std::uint16_t, 4>{1, 0, 0, 0}));
        QCOMPARE(version.fileType, 2u);
        QCOMPARE(version.fileOs, 4u);
        QCOMPARE(version.blockLanguage, quint16(0x0411));
        QCOMPARE(version.blockCodePage, quint16(0x04B0));
        QStringList pairs;
        for (const VersionString& entry : version.strings)
            pairs << QStringView(entry.key).toString() + QLatin1Char('=') + QStringView(entry.value).toString();
        QCOMPARE(pairs, (QStringList{"ProductName=Qel", "FileVersion=1.00", "ProductVersion=1.00", "InternalName=Qel",
                                     "OriginalFilename=Qel.dll", "OLESelfRegister="}));
    }
};

QTEST_GUILESS_MAIN(CatalogueTest)
#include "test_catalogue.moc"
