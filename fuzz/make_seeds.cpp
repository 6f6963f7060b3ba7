// Writes the fuzz targets' seed corpora: valid files of every kind each target reads, then cut, mutated and oversized ones.
//
// usage: tavorin_fuzz_seeds <output folder> <folder of the game's .notes music sources>
// Makes <output>/picture, <output>/midi, <output>/registry and <output>/settings. Every file is
// generated here (nothing is copied from elsewhere) and the output is the same on every run.
#include "NoteSource.h"
#include "SmfWriter.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QString>

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

QString g_out;
std::mt19937 g_random(20260501);   // fixed: the same corpus on every run

void Put(const QString& kind, const QString& name, const QByteArray& bytes)
{
    const QString folder = g_out + QLatin1Char('/') + kind;
    if (!QDir().mkpath(folder))
        throw std::runtime_error("cannot make " + folder.toStdString());
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + file.fileName().toStdString());
}

// The file, then copies cut short at several points and copies with a few bytes changed after
// the first `keep` bytes (so that the format is still recognised).
void PutWithDamage(const QString& kind, const QString& name, const QByteArray& bytes, int keep = 8)
{
    Put(kind, name, bytes);
    const qsizetype size = bytes.size();
    for (const qsizetype cut : {size / 4, size / 2, size - 16, size - 1})
        if (cut > 0 && cut < size)
            Put(kind, QStringLiteral("%1.cut%2").arg(name).arg(cut), bytes.left(cut));
    if (size <= keep)
        return;
    for (int copy = 1; copy <= 3; ++copy) {
        QByteArray mutated = bytes;
        std::uniform_int_distribution<qsizetype> where(keep, size - 1);
        std::uniform_int_distribution<int> value(0, 255);
        for (int i = 0; i < copy * 2; ++i)
            mutated[where(g_random)] = static_cast<char>(value(g_random));
        Put(kind, QStringLiteral("%1.mut%2").arg(name).arg(copy), mutated);
    }
}

// ---- Byte helpers ----

void Le16(QByteArray& b, quint32 v) { b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); }
void Le32(QByteArray& b, quint32 v) { Le16(b, v & 0xFFFF); Le16(b, v >> 16); }
void Be16(QByteArray& b, quint32 v) { b.append(char((v >> 8) & 0xFF)).append(char(v & 0xFF)); }
void Be32(QByteArray& b, quint32 v) { Be16(b, v >> 16); Be16(b, v & 0xFFFF); }
void SetLe32(QByteArray& b, qsizetype at, quint32 v) { for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF); }
void SetBe16(QByteArray& b, qsizetype at, quint32 v) { b[at] = char((v >> 8) & 0xFF); b[at + 1] = char(v & 0xFF); }
void SetBe32(QByteArray& b, qsizetype at, quint32 v) { SetBe16(b, at, v >> 16); SetBe16(b, at + 2, v & 0xFFFF); }

quint32 Crc32(const QByteArray& bytes, qsizetype from, qsizetype count)
{
    quint32 crc = 0xFFFFFFFFu;
    for (qsizetype i = from; i < from + count; ++i) {
        crc ^= static_cast<unsigned char>(bytes[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// ---- Pictures ----

QImage Sample(int width, int height, QImage::Format format)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(x * 255 / std::max(1, width - 1), y * 255 / std::max(1, height - 1), ((x ^ y) * 37) & 0xFF,
                                       (x + y) % 3 ? 255 : 96));
    if (format == QImage::Format_Indexed8 || format == QImage::Format_Mono)
        return image.convertToFormat(format, Qt::ThresholdDither);
    return image.convertToFormat(format);
}

QByteArray Encode(const QImage& image, const char* format, int quality = -1, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image))
        throw std::runtime_error("cannot encode " + std::string(format) + ": " + writer.errorString().toStdString());
    return bytes;
}

// A BMP file with the given header fields; `pixels` is the data exactly as stored.
QByteArray Bmp(quint32 headerSize, qint32 width, qint32 height, quint32 bitCount, quint32 compression,
               const std::vector<quint32>& palette, const QByteArray& pixels, const std::vector<quint32>& masks = {})
{
    QByteArray header;
    if (headerSize == 12) {
        Le32(header, 12);
        Le16(header, quint32(width));
        Le16(header, quint32(height));
        Le16(header, 1);
        Le16(header, bitCount);
    } else {
        Le32(header, headerSize);
        Le32(header, quint32(width));
        Le32(header, quint32(height));
        Le16(header, 1);
        Le16(header, bitCount);
        Le32(header, compression);
        Le32(header, quint32(pixels.size()));
        Le32(header, 2835);
        Le32(header, 2835);
        Le32(header, quint32(palette.size()));
        Le32(header, 0);
        while (header.size() < qsizetype(headerSize))
            header.append('\0');
    }
    for (const quint32 mask : masks)
        Le32(header, mask);
    for (const quint32 colour : palette) {
        header.append(char(colour & 0xFF)).append(char((colour >> 8) & 0xFF)).append(char((colour >> 16) & 0xFF));
        if (headerSize != 12)
            header.append('\0');
    }
    QByteArray file("BM");
    Le32(file, quint32(14 + header.size() + pixels.size()));
    Le32(file, 0);
    Le32(file, quint32(14 + header.size()));
    return file + header + pixels;
}

void BmpSeeds()
{
    PutWithDamage("picture", "rgb24.bmp", Encode(Sample(7, 5, QImage::Format_RGB32), "bmp"));
    PutWithDamage("picture", "indexed8.bmp", Encode(Sample(9, 6, QImage::Format_Indexed8), "bmp"));
    PutWithDamage("picture", "mono.bmp", Encode(Sample(13, 4, QImage::Format_Mono), "bmp"));
    PutWithDamage("picture", "argb32.bmp", Encode(Sample(6, 6, QImage::Format_ARGB32), "bmp"));

    const std::vector<quint32> four{0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    // RLE8: every row a run, a literal and an end of row; then a skip and the end of bitmap.
    QByteArray rle8;
    for (int row = 0; row < 4; ++row) {
        rle8.append(char(5)).append(char(row % 4));                                     // run of 5
        rle8.append(char(0)).append(char(3)).append(char(1)).append(char(2)).append(char(3)).append(char(0));   // 3 literals, padded
        rle8.append(char(0)).append(char(0));                                         // end of row
    }
    rle8.append(char(0)).append(char(2)).append(char(1)).append(char(1));              // skip right 1, down 1
    rle8.append(char(0)).append(char(1));                                              // end of bitmap
    PutWithDamage("picture", "rle8.bmp", Bmp(40, 8, 6, 8, 1, four, rle8));
    QByteArray rle4;
    for (int row = 0; row < 3; ++row)
        rle4.append(char(6)).append(char(0x12)).append(char(0)).append(char(0));
    rle4.append(char(0)).append(char(1));
    PutWithDamage("picture", "rle4.bmp", Bmp(40, 6, 3, 4, 2, four, rle4));
    // RLE8 whose rows end without an end-of-bitmap code.
    QByteArray rows;
    for (int row = 0; row < 2; ++row)
        rows.append(char(4)).append(char(1)).append(char(0)).append(char(0));
    PutWithDamage("picture", "rle8-rows.bmp", Bmp(40, 4, 2, 8, 1, four, rows));

    // The old OS/2 core header, 24 bits.
    QByteArray core;
    for (int row = 0; row < 3; ++row) {
        for (int x = 0; x < 3; ++x)
            core.append(char(x * 80)).append(char(row * 80)).append(char(200));
        core.append(3, '\0');
    }
    PutWithDamage("picture", "os2.bmp", Bmp(12, 3, 3, 24, 0, {}, core));
    // Rows stored top-down (negative height), and 16 bits a pixel with 5-6-5 bit-field masks.
    PutWithDamage("picture", "topdown.bmp", Bmp(40, 3, -3, 24, 0, {}, core));
    QByteArray rgb565;
    for (int i = 0; i < 4 * 2; ++i)
        Le16(rgb565, quint32(i * 0x1234) & 0xFFFF);
    PutWithDamage("picture", "rgb565.bmp", Bmp(40, 4, 2, 16, 3, {}, rgb565, {0xF800, 0x07E0, 0x001F}));
    // A palette of 2 for 1 bit a pixel, 4 for 4 bits.
    QByteArray four_bit;
    for (int row = 0; row < 2; ++row)
        four_bit.append(char(0x01)).append(char(0x23)).append(char(0)).append(char(0));
    PutWithDamage("picture", "indexed4.bmp", Bmp(40, 4, 2, 4, 0, four, four_bit));

    // Declared sizes far beyond the limits, on small files.
    QByteArray huge = Encode(Sample(4, 4, QImage::Format_RGB32), "bmp");
    for (const auto& [name, width, height] : std::vector<std::tuple<const char*, quint32, quint32>>{
             {"wide.bmp", 0x7FFFFFFF, 4}, {"tall.bmp", 4, 0x80000000}, {"side-16385.bmp", 16385, 1},
             {"pixels-over.bmp", 16384, 4097}, {"zero.bmp", 0, 4}, {"sides-65535.bmp", 0xFFFF, 0xFFFF}}) {
        QByteArray b = huge;
        SetLe32(b, 18, width);
        SetLe32(b, 22, height);
        Put("picture", QString::fromLatin1(name), b);
    }
    // Files past the 64 KiB that the loader reads first to refuse an oversized header early.
    const QByteArray large = Encode(Sample(160, 140, QImage::Format_RGB32), "bmp");
    Put("picture", "large.bmp", large);
    QByteArray largeHuge = large;
    SetLe32(largeHuge, 18, 0xFFFF);
    Put("picture", "large-sides-65535.bmp", largeHuge);
    QByteArray overlap = huge;
    SetLe32(overlap, 10, 20);   // pixel data inside the header
    Put("picture", "overlap.bmp", overlap);
    QByteArray depth = huge;
    depth[28] = char(7);
    Put("picture", "depth7.bmp", depth);
    QByteArray jpegInBmp = huge;
    SetLe32(jpegInBmp, 30, 4);   // BI_JPEG
    Put("picture", "bi-jpeg.bmp", jpegInBmp);
    Put("picture", "bm-only.bmp", QByteArray("BM"));
}

// GIF data: LZW with a clear code often enough that the code width never grows.
QByteArray Lzw(const std::vector<quint8>& indices)
{
    constexpr int kMinCodeSize = 8;
    constexpr quint32 kClear = 1u << kMinCodeSize;
    constexpr quint32 kEnd = kClear + 1;
    constexpr int kWidth = kMinCodeSize + 1;
    QByteArray packed;
    quint32 bits = 0;
    int count = 0;
    const auto put = [&](quint32 code) {
        bits |= code << count;
        count += kWidth;
        while (count >= 8) {
            packed.append(char(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    int sinceClear = 0;
    put(kClear);
    for (const quint8 index : indices) {
        if (sinceClear == 200) {
            put(kClear);
            sinceClear = 0;
        }
        put(index);
        ++sinceClear;
    }
    put(kEnd);
    if (count > 0)
        packed.append(char(bits & 0xFF));
    QByteArray data(1, char(kMinCodeSize));
    for (qsizetype at = 0; at < packed.size(); at += 255) {
        const QByteArray block = packed.mid(at, 255);
        data.append(char(block.size())).append(block);
    }
    data.append('\0');
    return data;
}

struct GifOptions {
    bool transparent = false;
    bool interlaced = false;
    bool localTable = false;
    bool secondFrame = false;
    bool extensions = false;
    int left = 0;
    int top = 0;
};

QByteArray Gif(int width, int height, const GifOptions& options)
{
    const std::array<quint32, 4> palette{0x000000, 0xFF8000, 0x0080FF, 0xFFFFFF};
    QByteArray table;
    for (const quint32 c : palette)
        table.append(char((c >> 16) & 0xFF)).append(char((c >> 8) & 0xFF)).append(char(c & 0xFF));
    std::vector<quint8> indices;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            indices.push_back(quint8((x / 2 + y) % 4));

    QByteArray gif(options.transparent || options.extensions ? "GIF89a" : "GIF87a");
    Le16(gif, quint32(width + options.left));
    Le16(gif, quint32(height + options.top));
    gif.append(char(options.localTable ? 0x00 : 0x81)).append('\0').append('\0');   // 4-entry global table
    if (!options.localTable)
        gif.append(table);
    if (options.extensions) {
        gif.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
        gif.append("\x21\xFE\x05hello\x00", 9);
    }
    const auto frame = [&] {
        if (options.transparent)
            gif.append("\x21\xF9\x04\x01\x0A\x00\x00\x00", 8);   // transparent index 0
        gif.append(char(0x2C));
        Le16(gif, quint32(options.left));
        Le16(gif, quint32(options.top));
        Le16(gif, quint32(width));
        Le16(gif, quint32(height));
        gif.append(char((options.localTable ? 0x81 : 0x00) | (options.interlaced ? 0x40 : 0x00)));
        if (options.localTable)
            gif.append(table);
        gif.append(Lzw(indices));
    };
    frame();
    if (options.secondFrame)
        frame();
    gif.append(char(0x3B));
    return gif;
}

void GifSeeds()
{
    PutWithDamage("picture", "plain.gif", Gif(16, 12, {}), 13);
    PutWithDamage("picture", "transparent.gif", Gif(9, 7, {.transparent = true}), 13);
    PutWithDamage("picture", "interlaced.gif", Gif(8, 20, {.interlaced = true}), 13);
    PutWithDamage("picture", "local-table.gif", Gif(5, 5, {.localTable = true}), 13);
    PutWithDamage("picture", "two-frames.gif", Gif(6, 4, {.transparent = true, .secondFrame = true, .extensions = true}), 13);
    PutWithDamage("picture", "offset.gif", Gif(10, 10, {.left = 5, .top = 3}), 13);
    PutWithDamage("picture", "long.gif", Gif(40, 30, {}), 13);

    QByteArray huge = Gif(4, 4, {});
    huge[6] = huge[7] = huge[8] = huge[9] = char(0xFF);   // a 65535 x 65535 screen
    Put("picture", "screen-65535.gif", huge);
    QByteArray image = Gif(4, 4, {});
    const qsizetype descriptor = image.indexOf(char(0x2C), 13 + 12);
    SetBe16(image, descriptor + 5, 0xFFFF);   // image width 65535 (0xFF 0xFF reads the same either way)
    Put("picture", "image-65535.gif", image);
    Put("picture", "no-image.gif", QByteArray("GIF89a\x04\x00\x04\x00\x00\x00\x00\x3B", 14));
    Put("picture", "unknown-block.gif", QByteArray("GIF89a\x04\x00\x04\x00\x00\x00\x00\x77", 14));
}

// A PNG chunk with its CRC.
QByteArray PngChunk(const char* type, const QByteArray& data)
{
    QByteArray chunk;
    Be32(chunk, quint32(data.size()));
    chunk.append(type, 4).append(data);
    Be32(chunk, Crc32(chunk, 4, 4 + data.size()));
    return chunk;
}

void PngSeeds()
{
    PutWithDamage("picture", "rgb.png", Encode(Sample(11, 7, QImage::Format_RGB32), "png"), 16);
    PutWithDamage("picture", "rgba.png", Encode(Sample(8, 8, QImage::Format_ARGB32), "png"), 16);
    PutWithDamage("picture", "palette.png", Encode(Sample(10, 3, QImage::Format_Indexed8), "png"), 16);
    PutWithDamage("picture", "grey.png", Encode(Sample(5, 9, QImage::Format_Grayscale8), "png"), 16);
    PutWithDamage("picture", "grey16.png", Encode(Sample(4, 4, QImage::Format_Grayscale16), "png"), 16);
    PutWithDamage("picture", "rgba64.png", Encode(Sample(3, 5, QImage::Format_RGBA64), "png"), 16);
    PutWithDamage("picture", "mono.png", Encode(Sample(17, 2, QImage::Format_Mono), "png"), 16);

    const QByteArray small = Encode(Sample(4, 4, QImage::Format_RGB32), "png");
    for (const auto& [name, width, height] : std::vector<std::tuple<const char*, quint32, quint32>>{
             {"side-65535.png", 0xFFFF, 0xFFFF}, {"side-16385.png", 16385, 1}, {"pixels-over.png", 16384, 4097},
             {"width-2g.png", 0x80000000, 1}, {"zero.png", 0, 0}, {"at-limit.png", 8192, 8192}}) {
        QByteArray b = small;
        SetBe32(b, 16, width);
        SetBe32(b, 20, height);
        SetBe32(b, 29, Crc32(b, 12, 17));
        Put("picture", QString::fromLatin1(name), b);
    }
    // Chunks rebuilt: the image data cut to half (with a correct length and CRC) before a proper
    // end chunk, an unknown ancillary chunk, and a chunk with a length past the file's end.
    const QByteArray signature = small.left(8);
    const QByteArray header = small.mid(8, 25);
    const qsizetype idat = small.indexOf("IDAT") - 4;
    const quint32 idatLength = (quint32(quint8(small[idat])) << 24) | (quint32(quint8(small[idat + 1])) << 16) |
                               (quint32(quint8(small[idat + 2])) << 8) | quint8(small[idat + 3]);
    const QByteArray data = small.mid(idat + 8, idatLength);
    const QByteArray end = PngChunk("IEND", {});
    Put("picture", "idat-half.png", signature + header + PngChunk("IDAT", data.left(data.size() / 2)) + end);
    Put("picture", "idat-empty.png", signature + header + PngChunk("IDAT", {}) + end);
    Put("picture", "no-idat.png", signature + header + end);
    Put("picture", "ancillary.png", signature + header + PngChunk("tEXt", QByteArray("Title\0tiles", 11)) + PngChunk("IDAT", data) + end);
    QByteArray split = signature + header;
    for (qsizetype at = 0; at < data.size(); at += 7)
        split += PngChunk("IDAT", data.mid(at, 7));
    Put("picture", "idat-split.png", split + end);
    QByteArray longChunk = signature + header + PngChunk("IDAT", data);
    longChunk += QByteArray("\x7F\xFF\xFF\xF0IDAT", 8) + end;
    Put("picture", "chunk-past-end.png", longChunk);
    Put("picture", "no-header.png", signature + PngChunk("IDAT", data) + end);
}

// An APP1 segment holding only an EXIF orientation tag.
QByteArray ExifOrientation(quint32 orientation)
{
    QByteArray tiff("II*\0", 4);
    Le32(tiff, 8);        // first directory
    Le16(tiff, 1);        // one entry
    Le16(tiff, 0x0112);   // orientation
    Le16(tiff, 3);        // SHORT
    Le32(tiff, 1);
    Le16(tiff, orientation);
    Le16(tiff, 0);
    Le32(tiff, 0);        // no next directory
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xFF\xE1", 2);
    Be16(segment, quint32(payload.size() + 2));
    return segment + payload;
}

void JpegSeeds()
{
    const QImage photo = Sample(24, 16, QImage::Format_RGB32);
    const QByteArray baseline = Encode(photo, "jpeg", 75);
    PutWithDamage("picture", "baseline.jpg", baseline, 4);
    PutWithDamage("picture", "low-quality.jpg", Encode(photo, "jpeg", 5), 4);
    PutWithDamage("picture", "grey.jpg", Encode(Sample(9, 9, QImage::Format_Grayscale8), "jpeg", 80), 4);
    PutWithDamage("picture", "progressive.jpg", Encode(photo, "jpeg", 60, true), 4);
    for (const quint32 orientation : {3u, 6u, 8u, 9u})
        PutWithDamage("picture", QStringLiteral("orientation%1.jpg").arg(orientation),
                      baseline.left(2) + ExifOrientation(orientation) + baseline.mid(2), 4);

    const qsizetype sof = baseline.indexOf("\xFF\xC0");
    if (sof > 0) {
        QByteArray huge = baseline;
        SetBe16(huge, sof + 5, 0xFFFF);
        SetBe16(huge, sof + 7, 0xFFFF);
        Put("picture", "side-65535.jpg", huge);
        QByteArray zero = baseline;
        SetBe16(zero, sof + 5, 0);
        Put("picture", "zero-height.jpg", zero);
    }
    Put("picture", "no-scan.jpg", QByteArray("\xFF\xD8\xFF\xD9", 4));
    Put("picture", "soi-only.jpg", QByteArray("\xFF\xD8\xFF", 3));
    QByteArray trailing = baseline;
    trailing.chop(2);   // data runs to the end without an end-of-image marker
    Put("picture", "no-eoi.jpg", trailing);
}

void OtherPictureSeeds()
{
    Put("picture", "text.txt", "This is not a picture.\n");
    Put("picture", "tiff.tif", QByteArray("II*\0\x08\0\0\0\0\0", 10));
    Put("picture", "empty", QByteArray());
}

// ---- MIDI files ----

QByteArray Vlq(quint32 value)
{
    QByteArray bytes(1, char(value & 0x7F));
    while (value >>= 7)
        bytes.prepend(char(0x80 | (value & 0x7F)));
    return bytes;
}

QByteArray Chunk(const char* type, const QByteArray& data, qint64 declared = -1)
{
    QByteArray chunk(type, 4);
    Be32(chunk, quint32(declared < 0 ? data.size() : declared));
    return chunk + data;
}

QByteArray Header(quint32 format, quint32 tracks, quint32 division)
{
    QByteArray data;
    Be16(data, format);
    Be16(data, tracks);
    Be16(data, division);
    return Chunk("MThd", data);
}

const QByteArray kEndOfTrack("\x00\xFF\x2F\x00", 4);

QByteArray Notes(int count, int channel = 0, quint32 delta = 96)
{
    QByteArray t;
    for (int i = 0; i < count; ++i) {
        t += Vlq(0) + QByteArray(1, char(0x90 | channel)) + char(60 + i % 12) + char(100);
        t += Vlq(delta) + QByteArray(1, char(0x80 | channel)) + char(60 + i % 12) + char(0);
    }
    return t;
}

void MidiSeeds(const QString& musicSources)
{
    for (const char* piece : {"fanfa4", "juesmansdesiring"}) {
        std::ifstream in((musicSources + QLatin1Char('/') + QLatin1String(piece) + QStringLiteral(".notes")).toStdString());
        if (!in)
            continue;
        std::stringstream text;
        text << in.rdbuf();
        const std::vector<std::uint8_t> song = midigen::writeSong(midigen::parseNoteSource(text.str()));
        PutWithDamage("midi", QString::fromLatin1(piece) + QStringLiteral(".mid"),
                      QByteArray(reinterpret_cast<const char*>(song.data()), qsizetype(song.size())), 22);
    }

    PutWithDamage("midi", "format0.mid", Header(0, 1, 96) + Chunk("MTrk", Notes(4) + kEndOfTrack), 22);

    QByteArray conductor = QByteArray("\x00\xFF\x58\x04\x04\x02\x18\x08", 8)   // time signature
                         + QByteArray("\x00\xFF\x51\x03\x07\xA1\x20", 7)       // 120 beats a minute
                         + QByteArray("\x00\xFF\x03\x05Tiles", 9)              // track name
                         + Vlq(384) + QByteArray("\xFF\x51\x03\x0F\x42\x40", 6) // slower after a bar
                         + kEndOfTrack;
    QByteArray voices = QByteArray("\x00\xC1\x13", 3)                           // program change
                      + QByteArray("\x00\xB1\x07\x64", 4)                       // controller
                      + QByteArray("\x00\x91\x40\x50", 4) + QByteArray("\x30\x43\x50", 3)   // running status
                      + QByteArray("\x30\x40\x00", 3)                           // note-on velocity 0 ends a note
                      + QByteArray("\x00\xE1\x00\x40", 4)                       // pitch bend
                      + QByteArray("\x00\xD1\x20", 3)                           // channel pressure
                      + QByteArray("\x00\xA1\x43\x10", 4)                       // key pressure
                      + QByteArray("\x00\xF0\x05\x7E\x7F\x09\x01\xF7", 8)       // system exclusive
                      + QByteArray("\x00\xF7\x02\x01\x02", 5)                   // escape
                      + QByteArray("\x60\x81\x43\x00", 4) + kEndOfTrack;
    PutWithDamage("midi", "format1.mid", Header(1, 2, 192) + Chunk("MTrk", conductor) + Chunk("MTrk", voices), 22);
    PutWithDamage("midi", "never-released.mid",
                  Header(0, 1, 96) + Chunk("MTrk", QByteArray("\x00\x90\x3C\x64\x83\x60\xFF\x2F\x00", 9)), 22);
    PutWithDamage("midi", "unknown-chunk.mid", Header(1, 1, 96) + Chunk("XFIH", "vendor data") + Chunk("MTrk", Notes(2) + kEndOfTrack), 22);
    Put("midi", "no-end-of-track.mid", Header(0, 1, 96) + Chunk("MTrk", Notes(3)));
    Put("midi", "empty-track.mid", Header(0, 1, 96) + Chunk("MTrk", {}));
    Put("midi", "long-header.mid", Chunk("MThd", QByteArray("\x00\x00\x00\x01\x00\x60\xAA\xBB", 8)) + Chunk("MTrk", Notes(1) + kEndOfTrack));
    Put("midi", "trailing-after-end.mid", Header(0, 1, 96) + Chunk("MTrk", kEndOfTrack + Notes(1)));

    // Refused shapes.
    Put("midi", "smpte.mid", Header(0, 1, 0xE728) + Chunk("MTrk", Notes(1) + kEndOfTrack));
    Put("midi", "format2.mid", Header(2, 1, 96) + Chunk("MTrk", Notes(1) + kEndOfTrack));
    Put("midi", "no-tracks.mid", Header(1, 0, 96));
    Put("midi", "format0-two-tracks.mid", Header(0, 2, 96) + Chunk("MTrk", kEndOfTrack) + Chunk("MTrk", kEndOfTrack));
    Put("midi", "zero-division.mid", Header(0, 1, 0) + Chunk("MTrk", kEndOfTrack));
    Put("midi", "data-without-status.mid", Header(0, 1, 96) + Chunk("MTrk", QByteArray("\x00\x3C\x64", 3) + kEndOfTrack));
    Put("midi", "realtime-in-track.mid", Header(0, 1, 96) + Chunk("MTrk", QByteArray("\x00\xF8", 2) + kEndOfTrack));
    Put("midi", "five-byte-delta.mid", Header(0, 1, 96) + Chunk("MTrk", QByteArray("\x81\x81\x81\x81\x01\x90\x3C\x64", 8) + kEndOfTrack));
    Put("midi", "status-as-data.mid", Header(0, 1, 96) + Chunk("MTrk", QByteArray("\x00\x90\x3C\x94", 4) + kEndOfTrack));
    Put("midi", "header-only.mid", Header(0, 1, 96));
    Put("midi", "text.mid", "MThd? no, just text\n");

    // Huge declared sizes and extreme values.
    Put("midi", "chunk-4g.mid", Header(0, 1, 96) + Chunk("MTrk", Notes(1) + kEndOfTrack, 0xFFFFFFFFll));
    Put("midi", "header-4g.mid", Chunk("MThd", QByteArray("\x00\x00\x00\x01\x00\x60", 6), 0xFFFFFFFFll) + Chunk("MTrk", kEndOfTrack));
    Put("midi", "tracks-65535.mid", Header(1, 0xFFFF, 96) + Chunk("MTrk", Notes(1) + kEndOfTrack));
    Put("midi", "meta-length-huge.mid", Header(0, 1, 96) + Chunk("MTrk", QByteArray("\x00\xFF\x01", 3) + Vlq(0x0FFFFFFF) + "x"));
    Put("midi", "sysex-length-huge.mid", Header(0, 1, 96) + Chunk("MTrk", QByteArray("\x00\xF0", 2) + Vlq(0x0FFFFFFF) + "x"));
    QByteArray far;
    for (int i = 0; i < 20; ++i)   // the ticks pass 2^32
        far += Vlq(0x0FFFFFFF) + QByteArray("\x90\x3C\x64", 3);
    Put("midi", "ticks-wrap.mid", Header(0, 1, 1) + Chunk("MTrk", far + kEndOfTrack));
    Put("midi", "tempo-zero.mid", Header(0, 1, 96) + Chunk("MTrk", QByteArray("\x00\xFF\x51\x03\x00\x00\x00", 7) + Notes(2) + kEndOfTrack));
    Put("midi", "tempo-max.mid",
        Header(0, 1, 1) + Chunk("MTrk", QByteArray("\x00\xFF\x51\x03\xFF\xFF\xFF", 7) + Vlq(0x0FFFFFFF) + kEndOfTrack));
    Put("midi", "tempo-short.mid", Header(0, 1, 96) + Chunk("MTrk", QByteArray("\x00\xFF\x51\x01\x07", 5) + Notes(1) + kEndOfTrack));
    Put("midi", "many-notes.mid", Header(0, 1, 96) + Chunk("MTrk", Notes(300, 9, 1) + kEndOfTrack));
}

// ---- The component registry and the settings store ----

void JsonSeeds(const QString& kind, const std::vector<std::pair<const char*, QByteArray>>& valid)
{
    for (const auto& [name, bytes] : valid)
        PutWithDamage(kind, QString::fromLatin1(name), bytes, 0);
    Put(kind, "empty.json", QByteArray());
    Put(kind, "array.json", "[1, 2, 3]");
    Put(kind, "null.json", "null");
    Put(kind, "string.json", "\"text\"");
    Put(kind, "garbage.json", QByteArray("\x00\xff\x13garbage\x7f", 12));
    Put(kind, "bom.json", QByteArray("\xEF\xBB\xBF", 3) + valid.front().second);
    Put(kind, "deep.json", QByteArray(3000, '[') + QByteArray(3000, ']'));
    Put(kind, "deep-objects.json", QByteArray("{\"a\":").repeated(1500) + "1" + QByteArray(1500, '}'));
    Put(kind, "lone-surrogate.json", "{\"\\ud800\": \"\\udfff\"}");
    Put(kind, "bad-utf8.json", QByteArray("{\"\xC3\x28\": \"\xFF\xFE\"}", 12));
    Put(kind, "nul-escape.json", "{\"a\\u0000b\": \"c\\u0000d\"}");
}

void RegistrySeeds()
{
    const QByteArray id = "{F3CE2677-67CC-11D5-9977-0090CCA64408}";
    const QByteArray registered =
        "{\n"
        "    \"CLSID\": {\n"
        "        \"" + id + "\": {\n"
        "            \"\": \"QelRes\",\n"
        "            \"InprocServer32\": {\n"
        "                \"\": \"/usr/lib/tavorin/libQel.so\",\n"
        "                \"ThreadingModel\": \"Apartment\"\n"
        "            },\n"
        "            \"ProgID\": { \"\": \"Qel.QelRes\" },\n"
        "            \"TypeLib\": { \"\": \"{F3CE2675-67CC-11D5-9977-0090CCA64408}\" },\n"
        "            \"VERSION\": { \"\": \"1.1\" }\n"
        "        }\n"
        "    },\n"
        "    \"Qel.QelRes\": { \"\": \"Qel.QelRes\", \"CLSID\": { \"\": \"" + id + "\" } }\n"
        "}\n";
    const auto server = [&](const QByteArray& value) {
        return "{\"CLSID\": {\"" + id + "\": {\"InprocServer32\": {\"\": " + value + "}}}}";
    };
    JsonSeeds("registry", {
        {"registered.json", registered},
        {"lower-case.json", "{\"clsid\": {\"" + id.toLower() + "\": {\"inprocserver32\": {\"\": \"/lib/libQel.so\"}}}}"},
        {"relative.json", server("\"libQel.so\"")},
        {"empty-path.json", server("\"\"")},
        {"number-path.json", server("42")},
        {"object-path.json", server("{}")},
        {"long-path.json", server("\"/" + QByteArray(5000, 'a') + "\"")},
        {"value-for-key.json", "{\"CLSID\": {\"" + id + "\": {\"InprocServer32\": \"/lib/libQel.so\"}}}"},
        {"clsid-string.json", "{\"CLSID\": \"text\"}"},
        {"both-cases.json", "{\"CLSID\": {}, \"clsid\": {\"" + id + "\": {\"InprocServer32\": {\"\": \"/a.so\"}}}}"},
        {"duplicate.json", "{\"CLSID\": {\"" + id + "\": {\"InprocServer32\": {\"\": \"/a.so\", \"\": \"/b.so\"}}}}"},
        {"empty-object.json", "{}"},
    });
}

void SettingsSeeds()
{
    const QByteArray written =
        "{\n"
        "    \"Puzzle\": {\n"
        "        \"SCORE\": {\n"
        "            \"HISCORE\": \"00:00:07\",\n"
        "            \"NAME\": \"\xE3\x81\x9F\xE3\x82\x8D\xE3\x81\x86 \"\n"
        "        }\n"
        "    }\n"
        "}\n";
    JsonSeeds("settings", {
        {"written.json", written},
        {"other-apps.json", "{\"Other\": {\"A\": {\"B\": \"c\"}}, \"Puzzle\": {\"SCORE\": {\"NAME\": \"x\"}}}"},
        {"number-name.json", "{\"Puzzle\": {\"SCORE\": {\"NAME\": 7, \"HISCORE\": null}}}"},
        {"app-string.json", "{\"Puzzle\": \"SCORE\"}"},
        {"section-array.json", "{\"Puzzle\": {\"SCORE\": [\"NAME\"]}}"},
        {"duplicate.json", "{\"Puzzle\": {\"SCORE\": {\"NAME\": \"a\", \"NAME\": \"b\"}}, \"Puzzle\": {}}"},
        {"escapes.json", "{\"Puzzle\": {\"SCORE\": {\"NAME\": \"\\t\\\"\\u3042\\\\\\n\"}}}"},
        {"long-name.json", "{\"Puzzle\": {\"SCORE\": {\"NAME\": \"" + QByteArray(20000, 'n') + "\"}}}"},
        {"empty-object.json", "{}"},
    });
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <output folder> <folder of the .notes music sources>\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);   // the JPEG writer is a plug-in, found through the application
    g_out = QString::fromLocal8Bit(argv[1]);
    try {
        BmpSeeds();
        GifSeeds();
        PngSeeds();
        JpegSeeds();
        OtherPictureSeeds();
        MidiSeeds(QString::fromLocal8Bit(argv[2]));
        RegistrySeeds();
        SettingsSeeds();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
