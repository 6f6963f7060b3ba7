// Checks the generated artwork files: byte layout, sizes, palettes and the puzzle pictures' tiles.
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTest>
#include <QtEndian>

#include <cmath>

namespace {

QByteArray readArt(const QString& name)
{
    QFile file(QStringLiteral(QEL_ART_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

quint32 u32(const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }
qint32 s32(const QByteArray& b, int at) { return qFromLittleEndian<qint32>(b.constData() + at); }
quint16 u16(const QByteArray& b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }

// The palette entry `i` of a BMP whose palette starts at `at`, as an opaque QRgb.
QRgb paletteEntry(const QByteArray& b, int at, int i)
{
    const auto* p = reinterpret_cast<const uchar*>(b.constData() + at + i * 4);
    return qRgb(p[2], p[1], p[0]);
}

double luma(QRgb c)
{
    return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c);
}

// The rectangle of cell (column, row) when a picture is cut into a 4 x 4 grid; the last
// cell in each direction takes the odd pixels (309 rows do not divide by 4).
QRect cell(const QSize& size, int column, int row)
{
    const int x0 = column * size.width() / 4;
    const int x1 = (column + 1) * size.width() / 4;
    const int y0 = row * size.height() / 4;
    const int y1 = (row + 1) * size.height() / 4;
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

} // namespace

class TestArtFiles : public QObject {
    Q_OBJECT

private slots:
    void bitmapLayout_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("title") << 1 << 300 << 150;
        for (int id : {10, 11, 12, 13, 14, 15, 16, 17, 30, 31, 32, 33})
            QTest::newRow(qPrintable(QStringLiteral("button %1").arg(id))) << id << 80 << 40;
        QTest::newRow("picture 1 is 309 rows high") << 100 << 300 << 309;
        QTest::newRow("picture 2") << 101 << 300 << 300;
        QTest::newRow("picture 3") << 102 << 300 << 300;
        QTest::newRow("ending strip") << 300 << 300 << 1500;
    }
    void bitmapLayout()
    {
        QFETCH(int, id);
        QFETCH(int, width);
        QFETCH(int, height);
        const QByteArray b = readArt(QStringLiteral("bitmap_%1.bmp").arg(id));
        QVERIFY2(b.size() > 54, "file missing or truncated");

        const int stride = (width + 3) / 4 * 4;
        const int dataOffset = 14 + 40 + 256 * 4;
        QCOMPARE(b.left(2), QByteArray("BM"));
        QCOMPARE(u32(b, 2), quint32(b.size()));
        QCOMPARE(u32(b, 10), quint32(dataOffset));
        QCOMPARE(b.size(), dataOffset + stride * height);

        QCOMPARE(u32(b, 14), 40u);          // BITMAPINFOHEADER
        QCOMPARE(s32(b, 18), width);
        QCOMPARE(s32(b, 22), height);       // positive: rows stored bottom-up
        QCOMPARE(u16(b, 26), quint16(1));   // planes
        QCOMPARE(u16(b, 28), quint16(8));   // bits per pixel
        QCOMPARE(u32(b, 30), 0u);           // BI_RGB
        QVERIFY(u32(b, 34) == 0 || u32(b, 34) == quint32(stride * height));
        QCOMPARE(s32(b, 38), 2835);
        QCOMPARE(s32(b, 42), 2835);
        QVERIFY2(u32(b, 46) == 0 || u32(b, 46) == 256, "palette must count 256 entries");

        // The four colours the game's windows use are in every palette exactly; the fourth
        // byte of each entry is reserved and zero.
        QSet<QRgb> palette;
        for (int i = 0; i < 256; ++i) {
            QCOMPARE(b.at(54 + i * 4 + 3), '\0');
            palette.insert(paletteEntry(b, 54, i));
        }
        for (QRgb c : {qRgb(0, 0, 0x80), qRgb(0xff, 0xff, 0xff), qRgb(0x80, 0x80, 0xff), qRgb(0, 0, 0)})
            QVERIFY2(palette.contains(c), qPrintable(QString::number(c, 16)));
    }
    void bitmapDecodes_data() { bitmapLayout_data(); }

    void bitmapDecodes()
    {
        QFETCH(int, id);
        QFETCH(int, width);
        QFETCH(int, height);
        QImage image;
        QVERIFY(image.loadFromData(readArt(QStringLiteral("bitmap_%1.bmp").arg(id)), "BMP"));
        QCOMPARE(image.size(), QSize(width, height));
        QCOMPARE(image.format(), QImage::Format_Indexed8);
        QCOMPARE(image.colorCount(), 256);
    }

    void buttonPairsDiffer_data()
    {
        QTest::addColumn<int>("id");
        for (int id : {10, 12, 14, 16, 30, 32})
            QTest::newRow(qPrintable(QString::number(id))) << id;
    }
    // The hover image is the same button with dark lettering: identical away from the word;
    // within it, the resting image's white letters are gone under the mouse.
    void buttonPairsDiffer()
    {
        QFETCH(int, id);
        QImage rest;
        QImage hover;
        QVERIFY(rest.loadFromData(readArt(QStringLiteral("bitmap_%1.bmp").arg(id)), "BMP"));
        QVERIFY(hover.loadFromData(readArt(QStringLiteral("bitmap_%1.bmp").arg(id + 1)), "BMP"));
        const QRect word(10, 10, 60, 21);
        int changedOutside = 0;
        int restWhite = 0;
        int hoverWhite = 0;
        for (int y = 0; y < rest.height(); ++y) {
            for (int x = 0; x < rest.width(); ++x) {
                if (!word.contains(x, y)) {
                    changedOutside += rest.pixel(x, y) != hover.pixel(x, y);
                    continue;
                }
                restWhite += luma(rest.pixel(x, y)) > 235;
                hoverWhite += luma(hover.pixel(x, y)) > 235;
            }
        }
        QCOMPARE(changedOutside, 0);
        QVERIFY2(restWhite > 60 && hoverWhite * 4 < restWhite,
                 qPrintable(QStringLiteral("white lettering pixels: %1 at rest, %2 under the mouse")
                                .arg(restWhite).arg(hoverWhite)));
    }

    void iconLayout()
    {
        const QByteArray b = readArt(QStringLiteral("icon_999.ico"));
        QCOMPARE(b.size(), 6 + 16 + 2664);
        QCOMPARE(u16(b, 0), quint16(0));
        QCOMPARE(u16(b, 2), quint16(1)); // icon
        QCOMPARE(u16(b, 4), quint16(1)); // one image
        QCOMPARE(uchar(b.at(6)), uchar(64));
        QCOMPARE(uchar(b.at(7)), uchar(64));
        QCOMPARE(uchar(b.at(8)), uchar(16));
        QCOMPARE(u16(b, 10), quint16(1));
        QCOMPARE(u16(b, 12), quint16(4));
        QCOMPARE(u32(b, 14), 2664u);
        QCOMPARE(u32(b, 18), 22u);

        const int h = 22;
        QCOMPARE(u32(b, h), 40u);
        QCOMPARE(s32(b, h + 4), 64);
        QCOMPARE(s32(b, h + 8), 128); // colour rows and mask rows
        QCOMPARE(u16(b, h + 12), quint16(1));
        QCOMPARE(u16(b, h + 14), quint16(4));
        QCOMPARE(u32(b, h + 16), 0u);

        // Every masked pixel must carry a black colour, or it would tint what lies beneath.
        const int xorAt = h + 40 + 16 * 4;
        const int andAt = xorAt + 32 * 64;
        int masked = 0;
        for (int row = 0; row < 64; ++row) {
            for (int x = 0; x < 64; ++x) {
                const bool bit = (uchar(b.at(andAt + row * 8 + x / 8)) >> (7 - x % 8)) & 1;
                if (!bit)
                    continue;
                ++masked;
                const uchar pair = uchar(b.at(xorAt + row * 32 + x / 2));
                const int index = x % 2 == 0 ? pair >> 4 : pair & 0x0f;
                QCOMPARE(paletteEntry(b, h + 40, index), qRgb(0, 0, 0));
            }
        }
        // The tile lifted out overhangs the tray, so some of the square is see-through, most not.
        QVERIFY(masked > 0);
        QVERIFY(masked < 64 * 64 / 3);
    }

    // Qt's own ICO reader must see the same picture as the PNG used for the main window.
    void iconMatchesPng()
    {
        QImage ico;
        QImage png;
        QVERIFY(ico.loadFromData(readArt(QStringLiteral("icon_999.ico")), "ICO"));
        QVERIFY(png.loadFromData(readArt(QStringLiteral("icon_999.png")), "PNG"));
        QCOMPARE(ico.size(), QSize(64, 64));
        QCOMPARE(png.size(), QSize(64, 64));
        ico = ico.convertToFormat(QImage::Format_ARGB32);
        png = png.convertToFormat(QImage::Format_ARGB32);
        QSet<QRgb> colours;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                const QRgb a = ico.pixel(x, y);
                const QRgb b = png.pixel(x, y);
                QCOMPARE(qAlpha(a) > 127, qAlpha(b) > 127);
                if (qAlpha(a) > 127) {
                    QCOMPARE(a | 0xff000000, b | 0xff000000);
                    colours.insert(a);
                }
            }
        }
        QVERIFY(colours.size() <= 16);
        QVERIFY(colours.size() >= 6);
    }

    void tilesCarryDetail_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("picture 1") << 100;
        QTest::newRow("picture 2") << 101;
        QTest::newRow("picture 3") << 102;
    }
    // A player places a tile by what is on it: no tile may be a near-flat patch. Each of the
    // sixteen cells needs many colours, real contrast, and no colour covering most of it.
    void tilesCarryDetail()
    {
        QFETCH(int, id);
        QImage image;
        QVERIFY(image.loadFromData(readArt(QStringLiteral("bitmap_%1.bmp").arg(id)), "BMP"));
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                const QRect r = cell(image.size(), column, row);
                QHash<int, int> counts;
                double sum = 0;
                double sumSq = 0;
                for (int y = r.top(); y <= r.bottom(); ++y) {
                    for (int x = r.left(); x <= r.right(); ++x) {
                        ++counts[image.pixelIndex(x, y)];
                        const double l = luma(image.pixel(x, y));
                        sum += l;
                        sumSq += l * l;
                    }
                }
                const double n = double(r.width()) * r.height();
                const double spread = std::sqrt(std::max(0.0, sumSq / n - (sum / n) * (sum / n)));
                int dominant = 0;
                for (int c : counts)
                    dominant = std::max(dominant, c);
                const QString where = QStringLiteral("cell %1,%2: %3 colours, luma spread %4, top colour %5%")
                                          .arg(column).arg(row).arg(counts.size()).arg(spread, 0, 'f', 1)
                                          .arg(100.0 * dominant / n, 0, 'f', 0);
                QVERIFY2(counts.size() >= 40, qPrintable(where));
                QVERIFY2(spread >= 15.0, qPrintable(where));
                QVERIFY2(dominant <= n * 0.4, qPrintable(where));
            }
        }
    }
    void tilesAreDistinct_data() { tilesCarryDetail_data(); }

    // No two cells of one picture may look alike: their mean per-pixel colour difference must
    // be clear, or a player could swap them without noticing.
    void tilesAreDistinct()
    {
        QFETCH(int, id);
        QImage image;
        QVERIFY(image.loadFromData(readArt(QStringLiteral("bitmap_%1.bmp").arg(id)), "BMP"));
        image = image.convertToFormat(QImage::Format_RGB32);
        const QSize tile = cell(image.size(), 0, 0).size();
        for (int a = 0; a < 16; ++a) {
            for (int b = a + 1; b < 16; ++b) {
                const QRect ra = cell(image.size(), a % 4, a / 4);
                const QRect rb = cell(image.size(), b % 4, b / 4);
                double diff = 0;
                for (int y = 0; y < tile.height(); ++y) {
                    for (int x = 0; x < tile.width(); ++x) {
                        const QRgb p = image.pixel(ra.left() + x, ra.top() + y);
                        const QRgb q = image.pixel(rb.left() + x, rb.top() + y);
                        diff += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                                + std::abs(qBlue(p) - qBlue(q));
                    }
                }
                diff /= 3.0 * tile.width() * tile.height();
                QVERIFY2(diff >= 25.0, qPrintable(QStringLiteral("cells %1 and %2 differ by only %3")
                                                      .arg(a).arg(b).arg(diff, 0, 'f', 1)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestArtFiles)
#include "test_art_files.moc"
