// Tests of the artwork generator: encoders, quantiser, fidelity to the drawings, reproducibility.
#include "bitmapfile.h"
#include "catalogue.h"
#include "generator.h"
#include "quantise.h"
#include "render.h"

#include <QBuffer>
#include <QDir>
#include <QFontDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace artgen;

namespace {

// An indexed test image whose pixel (x, y) uses colour (x + y * width) % colours.
QImage stripes(int width, int height, int colours)
{
    QImage image(width, height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i)
        table.append(qRgb(i * 37 % 256, 255 - i, i * 11 % 256));
    image.setColorTable(table);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, uint((x + y * width) % colours));
    return image;
}

quint32 u32(const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }
quint16 u16(const QByteArray& b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }

// Mean absolute channel difference after averaging 4 x 4 blocks, so that dithering, which
// trades per-pixel error for a correct local average, is judged by what the eye sees.
double blockError(const QImage& a, const QImage& b)
{
    const QImage pa = a.convertToFormat(QImage::Format_RGB32);
    const QImage pb = b.convertToFormat(QImage::Format_RGB32);
    double total = 0;
    int blocks = 0;
    for (int by = 0; by + 4 <= pa.height(); by += 4) {
        for (int bx = 0; bx + 4 <= pa.width(); bx += 4) {
            int sa[3] = {0, 0, 0};
            int sb[3] = {0, 0, 0};
            for (int y = by; y < by + 4; ++y) {
                for (int x = bx; x < bx + 4; ++x) {
                    const QRgb p = pa.pixel(x, y);
                    const QRgb q = pb.pixel(x, y);
                    sa[0] += qRed(p); sa[1] += qGreen(p); sa[2] += qBlue(p);
                    sb[0] += qRed(q); sb[1] += qGreen(q); sb[2] += qBlue(q);
                }
            }
            total += (std::abs(sa[0] - sb[0]) + std::abs(sa[1] - sb[1]) + std::abs(sa[2] - sb[2])) / 48.0;
            ++blocks;
        }
    }
    return total / blocks;
}

LetteringFonts loadFonts()
{
    LetteringFonts fonts;
    const int latin = QFontDatabase::addApplicationFont(QStringLiteral(ARTGEN_LATIN_FONT));
    const int kana = QFontDatabase::addApplicationFont(QStringLiteral(ARTGEN_KANA_FONT));
    if (latin >= 0)
        fonts.latin = QFontDatabase::applicationFontFamilies(latin).value(0);
    if (kana >= 0)
        fonts.kana = QFontDatabase::applicationFontFamilies(kana).value(0);
    return fonts;
}

int runGenerator(const QString& sourceDir, const QString& outputDir, QByteArray* errors)
{
    QProcess run;
    run.start(QStringLiteral(ARTGEN_EXE),
              {QStringLiteral("--source"), sourceDir, QStringLiteral("--output"), outputDir,
               QStringLiteral("--latin-font"), QStringLiteral(ARTGEN_LATIN_FONT),
               QStringLiteral("--kana-font"), QStringLiteral(ARTGEN_KANA_FONT)});
    if (!run.waitForFinished(120000) || run.exitStatus() != QProcess::NormalExit)
        return -1;
    *errors = run.readAllStandardError();
    return run.exitCode();
}

} // namespace

class TestArtgen : public QObject {
    Q_OBJECT

private slots:
    void bmpKeepsEightBits_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("colours");
        QTest::newRow("one pixel, two colours") << 1 << 1 << 2;
        QTest::newRow("odd width pads rows") << 3 << 2 << 5;
        QTest::newRow("sixteen colours stays 8-bit") << 5 << 3 << 16;
        QTest::newRow("full palette") << 17 << 16 << 256;
    }
    // Whatever the colour count, the file is 8-bit with a 256-entry palette, rows are padded
    // and stored bottom-up, and it reads back pixel for pixel.
    void bmpKeepsEightBits()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, colours);
        const QImage source = stripes(width, height, colours);
        const QByteArray b = encodeBmp8(source);
        const int stride = (width + 3) / 4 * 4;
        QCOMPARE(b.size(), 14 + 40 + 1024 + stride * height);
        QCOMPARE(u16(b, 28), quint16(8));
        QCOMPARE(u32(b, 38), 2835u);
        QCOMPARE(u32(b, 42), 2835u);
        // The first stored row is the image's bottom row.
        const int data = 14 + 40 + 1024;
        for (int x = 0; x < width; ++x)
            QCOMPARE(uchar(b.at(data + x)), uchar(source.pixelIndex(x, height - 1)));

        QImage back;
        QVERIFY(back.loadFromData(b, "BMP"));
        QCOMPARE(back.colorCount(), 256);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                QCOMPARE(back.pixel(x, y), source.pixel(x, y));
    }

    void icoPacksNibblesAndMask_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("odd width") << 3 << 2;
        QTest::newRow("one byte of mask") << 8 << 8;
        QTest::newRow("game size") << 64 << 64;
    }
    // Colour indices pack high nibble first, mask bits high bit first, both bottom-up with rows
    // padded to four bytes; transparent pixels set their bit and Qt's reader agrees.
    void icoPacksNibblesAndMask()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QImage source = stripes(width, height, 6);
        QList<QRgb> table = source.colorTable();
        table[5] = qRgba(0, 0, 0, 0);
        source.setColorTable(table);

        const QByteArray b = encodeIco4(source);
        const int xorStride = ((width * 4 + 31) / 32) * 4;
        const int andStride = ((width + 31) / 32) * 4;
        const int imageBytes = 40 + 64 + (xorStride + andStride) * height;
        QCOMPARE(b.size(), 22 + imageBytes);
        QCOMPARE(u32(b, 14), quint32(imageBytes));
        QCOMPARE(iconImageBytes(width, height), imageBytes);

        const int xorAt = 22 + 40 + 64;
        const int andAt = xorAt + xorStride * height;
        for (int y = 0; y < height; ++y) {
            const int row = height - 1 - y;
            for (int x = 0; x < width; ++x) {
                const uchar pair = uchar(b.at(xorAt + row * xorStride + x / 2));
                QCOMPARE(x % 2 == 0 ? pair >> 4 : pair & 0x0f, source.pixelIndex(x, y));
                const bool bit = (uchar(b.at(andAt + row * andStride + x / 8)) >> (7 - x % 8)) & 1;
                QCOMPARE(bit, source.pixelIndex(x, y) == 5);
            }
        }

        QImage back;
        QVERIFY(back.loadFromData(b, "ICO"));
        back = back.convertToFormat(QImage::Format_ARGB32);
        const QImage expected = iconToArgb(source);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                QCOMPARE(qAlpha(back.pixel(x, y)) > 127, qAlpha(expected.pixel(x, y)) > 127);
                if (qAlpha(expected.pixel(x, y)) > 127)
                    QCOMPARE(back.pixel(x, y), expected.pixel(x, y));
            }
        }
    }

    void icoRejectsTooManyColours()
    {
        QVERIFY(encodeIco4(stripes(8, 8, 17)).isEmpty());
        QVERIFY(encodeIco4(QImage(8, 8, QImage::Format_ARGB32)).isEmpty());
    }

    // An image that already fits the palette must come through unchanged.
    void quantiseKeepsFewColoursExactly()
    {
        const QImage source = stripes(40, 30, 200).convertToFormat(QImage::Format_ARGB32);
        QuantiseOptions options;
        options.dithering = 1.0f;
        const QImage out = quantise(source, options);
        QVERIFY(!out.isNull());
        QVERIFY(out.colorCount() <= 256);
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                QCOMPARE(out.pixel(x, y), source.pixel(x, y));
    }

    // Fixed colours appear in the palette exactly even when no pixel is near them, and the
    // colour limit still holds on a smooth gradient that wants far more colours.
    void quantiseAddsFixedColours()
    {
        QImage gradient(256, 64, QImage::Format_ARGB32);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 256; ++x)
                gradient.setPixel(x, y, qRgb(x, 255 - x, y * 4));
        QuantiseOptions options;
        options.maxColours = 16;
        options.fixedColours = {qRgb(0, 0, 0x80), qRgb(0x80, 0x80, 0xff)};
        const QImage out = quantise(gradient, options);
        QVERIFY(!out.isNull());
        QVERIFY(out.colorCount() <= 16);
        QVERIFY(out.colorTable().contains(qRgb(0, 0, 0x80)));
        QVERIFY(out.colorTable().contains(qRgb(0x80, 0x80, 0xff)));
    }

    void quantiseSplitsAlpha()
    {
        QImage source(4, 1, QImage::Format_ARGB32);
        source.setPixel(0, 0, qRgba(255, 0, 0, 255));
        source.setPixel(1, 0, qRgba(255, 0, 0, 128));  // just opaque enough
        source.setPixel(2, 0, qRgba(255, 0, 0, 127));  // just too transparent
        source.setPixel(3, 0, qRgba(0, 0, 0, 0));
        QuantiseOptions options;
        options.maxColours = 16;
        const QImage out = quantise(source, options);
        QVERIFY(!out.isNull());
        QCOMPARE(qAlpha(out.pixel(0, 0)), 255);
        QCOMPARE(qAlpha(out.pixel(1, 0)), 255);
        QCOMPARE(qAlpha(out.pixel(2, 0)), 0);
        QCOMPARE(qAlpha(out.pixel(3, 0)), 0);
        QCOMPARE(QColor(out.pixel(1, 0)).red(), 255);
    }

    // Two drawings that differ only in one corner must come out identical everywhere else.
    void quantiseSetSharesPalette()
    {
        QImage a(64, 32, QImage::Format_ARGB32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; ++x)
                a.setPixel(x, y, qRgb(x * 4, y * 8, 255 - x * 2));
        QImage b = a;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                b.setPixel(x, y, qRgb(255, 255, 0));
        QuantiseOptions options;
        options.maxColours = 24;
        options.fixedColours = {qRgb(0, 0, 0x80)};
        const QList<QImage> out = quantiseSet({a, b}, options);
        QCOMPARE(out.size(), 2);
        QCOMPARE(out[0].colorTable(), out[1].colorTable());
        QVERIFY(out[0].colorCount() <= 24);
        QVERIFY(out[0].colorTable().contains(qRgb(0, 0, 0x80)));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; ++x)
                if (x >= 8 || y >= 8)
                    QCOMPARE(out[0].pixelIndex(x, y), out[1].pixelIndex(x, y));
        QCOMPARE(QColor(out[1].pixel(0, 0)), QColor(255, 255, 0));
    }

    void quantisedArtStaysTrue_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<double>("limit");
        QTest::newRow("title") << 1 << 2.0;
        QTest::newRow("button") << 14 << 3.0;
        QTest::newRow("hover button") << 15 << 3.0;
        QTest::newRow("picture 1") << 100 << 3.0;
        QTest::newRow("picture 2") << 101 << 3.0;
        QTest::newRow("picture 3") << 102 << 3.0;
        QTest::newRow("ending") << 300 << 3.0;
    }
    // The 256-colour bitmaps must look like the full-colour drawings they come from.
    void quantisedArtStaysTrue()
    {
        QFETCH(int, id);
        QFETCH(double, limit);
        const LetteringFonts fonts = loadFonts();
        QVERIFY(!fonts.latin.isEmpty() && !fonts.kana.isEmpty());
        ArtRenderer renderer(QStringLiteral(ART_SOURCE_DIR), fonts);
        const ArtEntry* entry = findEntry(id);
        QVERIFY(entry);
        const QImage drawn = renderer.render(*entry);
        QVERIFY2(!drawn.isNull(), qPrintable(renderer.errorString()));
        ArtGenerator generator(renderer);
        const QImage indexed = generator.indexedImage(*entry);
        QVERIFY2(!indexed.isNull(), qPrintable(generator.errorString()));
        QCOMPARE(indexed.size(), drawn.size());
        const double e = blockError(drawn, indexed);
        QVERIFY2(e <= limit, qPrintable(QStringLiteral("block error %1").arg(e, 0, 'f', 2)));
    }

    void missingSourceFails()
    {
        ArtRenderer renderer(QStringLiteral("/nonexistent"), loadFonts());
        for (int id : {1, 10, 100, 300, 999}) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Cannot open file")));
            QVERIFY(renderer.render(*findEntry(id)).isNull());
            QVERIFY(!renderer.errorString().isEmpty());
        }
    }

    // Two runs give the same bytes as each other and as the build's own output, and exactly the
    // expected set of files.
    void generatorIsReproducible()
    {
        QTemporaryDir first;
        QTemporaryDir second;
        QVERIFY(first.isValid() && second.isValid());
        for (const QTemporaryDir* dir : {&first, &second}) {
            QByteArray errors;
            QVERIFY2(runGenerator(QStringLiteral(ART_SOURCE_DIR), dir->path(), &errors) == 0, errors.constData());
        }

        QStringList expected;
        for (const ArtEntry& e : catalogue())
            expected << e.fileName();
        expected << QStringLiteral("icon_999.png");
        expected.sort();
        QStringList made = QDir(first.path()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(made, expected);
        QCOMPARE(made.size(), 19); // 17 bitmaps, the icon and its PNG

        for (const QString& name : made) {
            QFile a(first.filePath(name));
            QFile b(second.filePath(name));
            QFile built(QStringLiteral(QEL_ART_DIR "/") + name);
            QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) && built.open(QIODevice::ReadOnly));
            const QByteArray bytes = a.readAll();
            QVERIFY2(bytes == b.readAll(), qPrintable(name));
            QVERIFY2(bytes == built.readAll(), qPrintable(name + QStringLiteral(" differs from the build's copy")));
        }
    }

    // A drawing that refers to something the SVG renderer cannot resolve would come out
    // silently wrong; the generator must refuse it instead.
    void generatorRejectsBrokenSource()
    {
        QTemporaryDir sources;
        QTemporaryDir output;
        QVERIFY(sources.isValid() && output.isValid());
        const QDir art(QStringLiteral(ART_SOURCE_DIR));
        for (const QString& name : art.entryList({QStringLiteral("*.svg")}, QDir::Files))
            QVERIFY(QFile::copy(art.filePath(name), sources.filePath(name)));

        QFile picture(sources.filePath(QStringLiteral("picture_101.svg")));
        QVERIFY(picture.open(QIODevice::ReadWrite));
        QByteArray text = picture.readAll();
        text.replace("</svg>", "<rect width=\"9\" height=\"9\" fill=\"url(#missing)\"/></svg>");
        QVERIFY(picture.resize(0));
        QVERIFY(picture.seek(0));
        QVERIFY(picture.write(text) == text.size());
        picture.close();

        QByteArray errors;
        const int code = runGenerator(sources.path(), output.path(), &errors);
        QVERIFY(code > 0);
        QVERIFY2(errors.contains("101"), errors.constData());
    }
};

QTEST_MAIN(TestArtgen)
#include "test_artgen.moc"
