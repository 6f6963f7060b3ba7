// Tests of picture loading: good files of each format, cut-off, foreign and oversized ones, odd paths.
#include "AppError.h"
#include "GifFile.h"
#include "PictureFile.h"
#include "RleBmp.h"

#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <optional>

namespace {

constexpr int kBlock = 16;

// A 64 x 48 picture of twelve flat blocks in clearly different colours.
QImage Pattern()
{
    QImage image(4 * kBlock, 3 * kBlock, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            painter.fillRect(col * kBlock, row * kBlock, kBlock, kBlock, QColor::fromHsv((row * 4 + col) * 30, 255, 220));
    return image;
}

QByteArray Encode(const QImage& image, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, quality))
        qFatal("cannot encode the test picture as %s", format);
    return bytes;
}

// A JPEG of `image` whose orientation tag says it must be turned a quarter clockwise to show upright.
QByteArray EncodeTurnedJpeg(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95);
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    if (!writer.write(image))
        qFatal("cannot encode the turned JPEG");
    return bytes;
}

// A BMP of `image` with `bits` bits a pixel: 4 and 8 through a palette of 16 or 256 entries.
QByteArray Bmp(const QImage& image, int bits)
{
    QImage source = image;
    if (bits <= 8) {
        source = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
        source.setColorCount(1 << bits);
    }
    QByteArray bytes = Encode(source, "bmp");
    if (qFromLittleEndian<quint16>(bytes.constData() + 28) != bits)
        qFatal("Qt wrote a BMP of another depth than %d bits", bits);
    return bytes;
}

// The same BMP with its rows stored top-down, as a negative height in its header says.
QByteArray TopDown(const QByteArray& bmp)
{
    const qint32 offset = qFromLittleEndian<qint32>(bmp.constData() + 10);
    const qint32 width = qFromLittleEndian<qint32>(bmp.constData() + 18);
    const qint32 height = qFromLittleEndian<qint32>(bmp.constData() + 22);
    const int bits = qFromLittleEndian<quint16>(bmp.constData() + 28);
    const qsizetype row = (qsizetype(width) * bits + 31) / 32 * 4;
    QByteArray flipped = bmp.left(offset);
    for (qint32 y = height - 1; y >= 0; --y)
        flipped += bmp.mid(offset + y * row, row);
    qToLittleEndian<qint32>(-height, flipped.data() + 22);
    return flipped;
}

// A 4 x 2 RLE8 bitmap: top row blue, bottom row red. When not `whole`, only the bottom row's run is there.
QByteArray Rle8Bmp(bool whole)
{
    const QByteArray data = whole ? QByteArray::fromHex("0400 0000 0401 0001") : QByteArray::fromHex("0400");
    return picture_test::RleBmp(4, 2, 8, {qRgb(255, 0, 0), qRgb(0, 0, 255)}, data);
}

QImage RleExpected()
{
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int x = 0; x < 4; ++x)
        image.setPixel(x, 0, qRgb(0, 0, 255));
    return image;
}

// A picture of `format` whose header declares width x height; the rest of the file is a real small picture.
QByteArray WithDeclaredSize(const char* format, quint32 width, quint32 height)
{
    const QByteArray name(format);
    QByteArray bytes = name == "gif" ? EncodeGif(Pattern()) : Encode(Pattern(), format);
    if (name == "png") {
        qToBigEndian(width, bytes.data() + 16);
        qToBigEndian(height, bytes.data() + 20);
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef*>(bytes.constData() + 12), 17));
        qToBigEndian(crc, bytes.data() + 29);
    } else if (name == "bmp") {
        qToLittleEndian(width, bytes.data() + 18);
        qToLittleEndian(height, bytes.data() + 22);
    } else if (name == "jpeg") {
        const qsizetype sof = bytes.indexOf(QByteArray::fromHex("ffc0"));
        qToBigEndian(quint16(height), bytes.data() + sof + 5);
        qToBigEndian(quint16(width), bytes.data() + sof + 7);
    } else if (name == "gif") {
        qToLittleEndian(quint16(width), bytes.data() + 6);
        qToLittleEndian(quint16(height), bytes.data() + 8);
    }
    return bytes;
}

// The largest difference of one channel, alpha included; fully transparent pixels carry no colour.
// With `interior`, only pixels 3 or more from a block edge count.
int Difference(const QImage& actual, const QImage& expected, bool interior)
{
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    const QImage b = expected.convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (interior && (x % kBlock < 3 || x % kBlock > kBlock - 4 || y % kBlock < 3 || y % kBlock > kBlock - 4))
                continue;
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max(worst, std::abs(qAlpha(p) - qAlpha(q)));
            if (qAlpha(q) != 0)
                worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

struct Failure {
    int number = 0;
    QString text;
};

template <typename Load>
std::optional<Failure> FailureOf(Load load)
{
    try {
        load();
    } catch (const errors::AppError& e) {
        return Failure{e.number(), QString::fromStdString(e.what())};
    }
    return std::nullopt;
}

}  // namespace

class PictureFileTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
    }

    void goodPicturesLoadWhole_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QImage>("expected");
        QTest::addColumn<bool>("lossy");
        QTest::addColumn<bool>("transparent");

        const QImage pattern = Pattern();
        const QByteArray bmp24 = Bmp(pattern, 24);
        const QByteArray gif = EncodeGif(pattern);
        const QByteArray png = Encode(pattern, "png");
        const QByteArray jpeg = Encode(pattern, "jpeg", 95);

        QImage withAlpha = pattern.convertToFormat(QImage::Format_ARGB32);
        withAlpha.setPixel(0, 0, qRgba(0, 0, 0, 0));
        QImage firstBlockClear = pattern.convertToFormat(QImage::Format_ARGB32);   // the GIF's transparent colour
        for (int y = 0; y < kBlock; ++y)
            for (int x = 0; x < kBlock; ++x)
                firstBlockClear.setPixel(x, y, qRgba(0, 0, 0, 0));

        QTest::newRow("24-bit BMP") << "a.bmp" << bmp24 << pattern << false << false;
        QTest::newRow("8-bit BMP") << "b.bmp" << Bmp(pattern, 8) << pattern << false << false;
        QTest::newRow("4-bit BMP") << "b4.bmp" << Bmp(pattern, 4) << pattern << false << false;
        QTest::newRow("BMP named .dib") << "c.dib" << bmp24 << pattern << false << false;
        QTest::newRow("24-bit BMP stored top-down") << "c2.bmp" << TopDown(bmp24) << pattern << false << false;
        QTest::newRow("8-bit BMP stored top-down") << "c3.bmp" << TopDown(Bmp(pattern, 8)) << pattern << false << false;
        QTest::newRow("RLE8 BMP") << "d.bmp" << Rle8Bmp(true) << RleExpected() << false << false;
        QTest::newRow("GIF") << "e.gif" << gif << pattern << false << false;
        QTest::newRow("GIF without its trailer") << "f.gif" << gif.chopped(1) << pattern << false << false;
        QTest::newRow("GIF with a transparent colour") << "g.gif" << EncodeGif(pattern, pattern.pixel(0, 0)) << firstBlockClear << false << true;
        QTest::newRow("JPEG") << "h.jpg" << jpeg << pattern << true << false;
        QTest::newRow("JPEG with bytes after its end") << "i.jpg" << jpeg + QByteArray(100, 'x') << pattern << true << false;
        QTest::newRow("PNG") << "j.png" << png << pattern << false << false;
        QTest::newRow("PNG with alpha") << "k.png" << Encode(withAlpha, "png") << withAlpha << false << true;
        QTest::newRow("PNG named .bmp") << "l.bmp" << png << pattern << false << false;
        QTest::newRow("JPEG to be turned upright") << "m.jpg" << EncodeTurnedJpeg(pattern.transformed(QTransform().rotate(-90)))
                                                   << pattern << true << false;
    }
    void goodPicturesLoadWhole()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QImage, expected);
        QFETCH(bool, lossy);
        QFETCH(bool, transparent);

        const int limitBefore = QImageReader::allocationLimit();
        const QImage fromFile = picture::LoadPicture(put(fileName, bytes));
        const QImage fromBytes = picture::LoadPicture(bytes, fileName);
        QCOMPARE(QImageReader::allocationLimit(), limitBefore);

        QCOMPARE(fromFile, fromBytes);
        QCOMPARE(fromFile.size(), expected.size());
        QCOMPARE(fromFile.format(), transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        // Pixels match exactly; a JPEG's within a few steps away from block edges.
        const int difference = Difference(fromFile, expected, lossy);
        QVERIFY2(difference <= (lossy ? 24 : 0), qPrintable(QStringLiteral("a channel differs by %1").arg(difference)));
    }

    void badFilesFailWithTheirReason_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("reason");

        QImage big(400, 300, QImage::Format_RGB32);   // large enough that a cut lands inside the pixel data
        QPainter painter(&big);
        for (int i = 0; i < 300; i += 10)
            painter.fillRect(0, i, 400, 10, QColor::fromHsv(i, 200, 200));
        painter.end();
        const QByteArray bmp = Encode(big, "bmp");
        const QByteArray bmp8 = Bmp(Pattern(), 8);
        const QByteArray jpeg = Encode(big, "jpeg", 90);
        const QByteArray gif = EncodeGif(Pattern());
        const QByteArray png = Encode(big, "png");
        QByteArray otherCompression = bmp;
        otherCompression[30] = 4;   // JPEG inside a bitmap

        const int invalid = errors::kInvalidPicture;
        QTest::newRow("BMP cut in half") << "a.bmp" << bmp.left(bmp.size() / 2) << invalid << "cut off";
        QTest::newRow("8-bit BMP one byte short") << "b.bmp" << bmp8.chopped(1) << invalid << "cut off";
        QTest::newRow("RLE8 BMP cut off") << "d.bmp" << Rle8Bmp(false) << invalid << "cut off";
        QTest::newRow("BMP with an unknown compression") << "e.bmp" << otherCompression << invalid << "compression";
        QTest::newRow("JPEG cut in its pixel data") << "f.jpg" << jpeg.left(jpeg.size() * 2 / 3) << invalid << "cut off";
        QTest::newRow("JPEG without its end marker") << "g.jpg" << jpeg.chopped(2) << invalid << "cut off";
        QTest::newRow("JPEG cut and given an end marker")
            << "h.jpg" << jpeg.left(jpeg.size() * 2 / 3) + QByteArray::fromHex("ffd9") << invalid << "ends early";
        QTest::newRow("GIF cut in its image") << "i.gif" << gif.left(gif.size() * 2 / 3) << invalid << "cut off";
        QTest::newRow("PNG cut before its end chunk") << "j.png" << png.chopped(12) << invalid << "cut off";
        QTest::newRow("text named .jpg") << "l.jpg" << QByteArray("This is not a picture.\n") << invalid << "not a BMP, GIF, JPEG or PNG";
        QTest::newRow("empty file") << "m.bmp" << QByteArray() << invalid << "empty";
        QTest::newRow("BMP header 65535 x 65535") << "n.bmp" << WithDeclaredSize("bmp", 65535, 65535) << invalid << "65535 x 65535";
        QTest::newRow("PNG header 65535 x 65535") << "o.png" << WithDeclaredSize("png", 65535, 65535) << invalid << "65535 x 65535";
        QTest::newRow("JPEG header 65535 x 65535") << "p.jpg" << WithDeclaredSize("jpeg", 65535, 65535) << invalid << "65535 x 65535";
        QTest::newRow("GIF screen 65535 x 65535") << "q.gif" << WithDeclaredSize("gif", 65535, 65535) << invalid << "65535 x 65535";
        QTest::newRow("BMP of width 0") << "r.bmp" << WithDeclaredSize("bmp", 0, 48) << invalid << "no size";

        const int access = errors::kFileAccess;
        QTest::newRow("folder") << "<folder>" << QByteArray() << access << "folder";
        QTest::newRow("missing file") << "<missing>" << QByteArray() << access << "no such file";
        QTest::newRow("pipe") << "<pipe>" << QByteArray() << access << "not a regular file";
        if (geteuid() != 0)   // root reads any file
            QTest::newRow("unreadable file") << "<unreadable>" << Encode(Pattern(), "bmp") << access << "cannot be opened";
    }
    void badFilesFailWithTheirReason()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(int, number);
        QFETCH(QString, reason);

        QString path;
        if (fileName == "<folder>") {
            path = m_dir.filePath("folder.bmp");
            QVERIFY(QDir().mkpath(path));
        } else if (fileName == "<missing>") {
            path = m_dir.filePath("missing.bmp");
        } else if (fileName == "<pipe>") {
            path = m_dir.filePath("pipe.bmp");
            QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0 || errno == EEXIST);
        } else if (fileName == "<unreadable>") {
            path = put("unreadable.bmp", bytes);
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        } else {
            path = put(fileName, bytes);
        }

        const std::optional<Failure> failure = FailureOf([&] { picture::LoadPicture(path); });
        QVERIFY2(failure, "the file loaded");
        QCOMPARE(failure->number, number);
        QVERIFY2(failure->text.startsWith(path + ": "), qPrintable(failure->text));
        QVERIFY2(failure->text.contains(reason), qPrintable(failure->text));
    }

    void declaredSizeLimitsAreInclusive_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("loads");

        QTest::newRow("widest side") << picture::kMaxSide << 4 << true;
        QTest::newRow("tallest side") << 4 << picture::kMaxSide << true;
        QTest::newRow("one column too wide") << picture::kMaxSide + 1 << 4 << false;
        QTest::newRow("one row too tall") << 4 << picture::kMaxSide + 1 << false;
        QTest::newRow("sides allowed, too many pixels") << 8193 << 8193 << false;   // 67,125,249 > 64 Mi
    }
    void declaredSizeLimitsAreInclusive()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, loads);

        if (loads) {
            QImage image(width, height, QImage::Format_RGB32);
            image.fill(Qt::darkCyan);
            const QImage loaded = picture::LoadPicture(Encode(image, "png"), "edge.png");
            QCOMPARE(loaded.size(), image.size());
        } else {
            const std::optional<Failure> failure =
                FailureOf([&] { picture::LoadPicture(WithDeclaredSize("png", width, height), "edge.png"); });
            QVERIFY(failure);
            QCOMPARE(failure->number, errors::kInvalidPicture);
            QVERIFY2(failure->text.contains(QStringLiteral("%1 x %2").arg(width).arg(height)), qPrintable(failure->text));
        }
    }

    void everyCutOffCopyIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qsizetype>("wholeFrom");   // a copy this long or longer is the whole picture

        const QImage small = Pattern().scaled(32, 24);
        const QByteArray gif = EncodeGif(small);
        QTest::newRow("24-bit BMP") << Bmp(small, 24) << Bmp(small, 24).size();
        QTest::newRow("8-bit BMP") << Bmp(small, 8) << Bmp(small, 8).size();
        QTest::newRow("RLE8 BMP") << Rle8Bmp(true) << Rle8Bmp(true).size();
        QTest::newRow("GIF") << gif << gif.size() - 1;   // the trailer is not needed
        QTest::newRow("JPEG") << Encode(small, "jpeg") << Encode(small, "jpeg").size();
        QTest::newRow("PNG") << Encode(small, "png") << Encode(small, "png").size();
    }
    void everyCutOffCopyIsRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qsizetype, wholeFrom);

        for (qsizetype length = 0; length < bytes.size(); ++length) {
            const std::optional<Failure> failure = FailureOf([&] { picture::LoadPicture(bytes.left(length), "cut"); });
            if (length < wholeFrom) {
                QVERIFY2(failure, qPrintable(QStringLiteral("the first %1 of %2 bytes loaded").arg(length).arg(bytes.size())));
                QCOMPARE(failure->number, errors::kInvalidPicture);
            } else {
                QVERIFY2(!failure, qPrintable(failure->text));
            }
        }
    }

    void damagedBytesNeverCrash_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QImage pattern = Pattern();
        QTest::newRow("BMP") << Encode(pattern, "bmp");
        QTest::newRow("RLE8 BMP") << Rle8Bmp(true);
        QTest::newRow("GIF") << EncodeGif(pattern);
        QTest::newRow("JPEG") << Encode(pattern, "jpeg");
        QTest::newRow("PNG") << Encode(pattern, "png");
    }
    // Random byte changes anywhere (headers included): each copy loads within the limits or fails
    // with an application error; nothing else escapes, and under the sanitizers nothing is misread.
    void damagedBytesNeverCrash()
    {
        QFETCH(QByteArray, bytes);
        QRandomGenerator random(20240607);
        int loaded = 0;
        for (int round = 0; round < 400; ++round) {
            QByteArray damaged = bytes;
            const int changes = 1 + random.bounded(4);
            for (int i = 0; i < changes; ++i)
                damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
            try {
                const QImage image = picture::LoadPicture(damaged, "damaged");
                QVERIFY(!image.isNull());
                QVERIFY(image.width() <= picture::kMaxSide && image.height() <= picture::kMaxSide);
                ++loaded;
            } catch (const errors::AppError& e) {
                QCOMPARE(e.number(), errors::kInvalidPicture);
            }
        }
        qInfo("%d of 400 damaged copies still loaded", loaded);
    }

private:
    QString put(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    QTemporaryDir m_dir;
};

QTEST_MAIN(PictureFileTest)
#include "test_picture_file.moc"
