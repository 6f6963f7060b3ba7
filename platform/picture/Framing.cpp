// Walking the framing of BMP, GIF, JPEG and PNG files to tell a whole file from a cut-off one.
//
// Hand-written on purpose: Qt's readers decode what is there and report success for a cut-off
// BMP, GIF or JPEG, and decoding the file a second time with libjpeg, giflib or libpng only to
// learn whether it is whole would double the load time. The framing of these formats is a few
// length fields and markers, so it is walked here over the bytes alone, without decoding.
#include "Framing.h"

#include "PictureFile.h"

#include <algorithm>
#include <cstring>

namespace picture::framing {
namespace {

// Bounds-checked little and big endian reads over the file's bytes.
class Bytes {
public:
    explicit Bytes(const QByteArray& bytes)
        : m_data(reinterpret_cast<const unsigned char*>(bytes.constData())), m_size(bytes.size())
    {
    }

    qint64 size() const { return m_size; }
    bool has(qint64 pos, qint64 count) const { return pos >= 0 && count >= 0 && pos <= m_size && count <= m_size - pos; }

    // Each read below expects has() to hold for the bytes it reads.
    quint32 u8(qint64 pos) const { return m_data[pos]; }
    quint32 le16(qint64 pos) const { return u8(pos) | u8(pos + 1) << 8; }
    quint32 le32(qint64 pos) const { return le16(pos) | le16(pos + 2) << 16; }
    quint32 be16(qint64 pos) const { return u8(pos) << 8 | u8(pos + 1); }
    quint32 be32(qint64 pos) const { return be16(pos) << 16 | be16(pos + 2); }
    // The position of the first `byte` at or after `pos`, or -1.
    qint64 find(unsigned char byte, qint64 pos) const
    {
        if (!has(pos, 1))
            return -1;
        const void* hit = std::memchr(m_data + pos, byte, static_cast<size_t>(m_size - pos));
        return hit ? static_cast<const unsigned char*>(hit) - m_data : -1;
    }
    bool startsWith(const char* magic, qint64 length) const
    {
        return has(0, length) && std::memcmp(m_data, magic, static_cast<size_t>(length)) == 0;
    }

private:
    const unsigned char* m_data;
    qint64 m_size;
};

const QString kCutOff = QStringLiteral("the file is cut off (%1)");

Outline Failed(Outline outline, const QString& problem)
{
    outline.problem = problem;
    return outline;
}

bool SideTooLarge(qint64 width, qint64 height)
{
    return width > kMaxSide || height > kMaxSide;
}

Outline WalkBmp(const Bytes& b)
{
    Outline out;
    if (!b.has(0, 18))
        return Failed(out, kCutOff.arg(QStringLiteral("inside the bitmap header")));
    const qint64 dataOffset = b.le32(10);
    const qint64 headerSize = b.le32(14);
    quint32 bitCount = 0;
    quint32 compression = 0;
    if (headerSize == 12) {   // the old OS/2 core header: 16-bit sides
        if (!b.has(14, 12))
            return Failed(out, kCutOff.arg(QStringLiteral("inside the bitmap header")));
        out.width = b.le16(18);
        out.height = b.le16(20);
        bitCount = b.le16(24);
    } else if (headerSize >= 16) {
        const qint64 needed = headerSize >= 20 ? 20 : 16;
        if (!b.has(14, needed))
            return Failed(out, kCutOff.arg(QStringLiteral("inside the bitmap header")));
        out.width = static_cast<qint32>(b.le32(18));
        out.height = static_cast<qint32>(b.le32(22));   // negative: rows stored top-down
        if (out.height < 0)
            out.height = -out.height;
        bitCount = b.le16(28);
        compression = headerSize >= 20 ? b.le32(30) : 0;
    } else {
        return Failed(out, QStringLiteral("the bitmap header is malformed"));
    }
    if (out.width < 1 || out.height < 1 || SideTooLarge(out.width, out.height))
        return out;   // the caller refuses the size
    if (dataOffset < 14 + headerSize)
        return Failed(out, QStringLiteral("the bitmap's pixel data would overlap its header"));

    switch (compression) {
    case 0:   // uncompressed
    case 3:   // uncompressed, with bit-field masks
    case 6: { // uncompressed, with bit-field masks and alpha
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
            return Failed(out, QStringLiteral("the bitmap has an unknown bit depth (%1)").arg(bitCount));
        const qint64 rowBytes = (out.width * bitCount + 31) / 32 * 4;
        const qint64 needed = dataOffset + rowBytes * out.height;
        if (b.size() < needed)
            return Failed(out, kCutOff.arg(QStringLiteral("%1 of %2 bytes").arg(b.size()).arg(needed)));
        return out;
    }
    case 1:     // RLE8
    case 2: {   // RLE4
        // Whole only once the end-of-bitmap code is reached. Neither the ends of rows nor a jump
        // down past the last row will do: a damaged file can end all its rows early and still
        // carry runs that the decoder draws, so a copy cut off after them would pass as whole.
        qint64 pos = dataOffset;
        while (b.has(pos, 2)) {
            const quint32 count = b.u8(pos);
            const quint32 value = b.u8(pos + 1);
            pos += 2;
            if (count != 0 || value == 0)
                continue;   // a run of `count` pixels, or the end of a row
            if (value == 1)
                return out;   // end of bitmap
            if (value == 2) {   // skip right and down: two more bytes
                pos += 2;
            } else {   // `value` literal pixels, padded to a 16-bit boundary
                const qint64 literal = compression == 1 ? value : (value + 1) / 2;
                pos += literal + (literal & 1);
            }
        }
        return Failed(out, kCutOff.arg(QStringLiteral("before the end of the compressed bitmap")));
    }
    default:
        return Failed(out, QStringLiteral("the bitmap uses a compression that is not supported (%1)").arg(compression));
    }
}

// Skips a chain of GIF data sub-blocks; false when the file ends before its terminator.
bool SkipSubBlocks(const Bytes& b, qint64& pos)
{
    while (b.has(pos, 1)) {
        const quint32 length = b.u8(pos++);
        if (length == 0)
            return true;
        pos += length;
    }
    return false;
}

qint64 ColourTableBytes(quint32 packed)
{
    return (packed & 0x80) ? 3LL << ((packed & 7) + 1) : 0;
}

Outline WalkGif(const Bytes& b)
{
    Outline out;
    if (!b.has(0, 13))
        return Failed(out, kCutOff.arg(QStringLiteral("inside the GIF header")));
    out.width = b.le16(6);
    out.height = b.le16(8);
    qint64 pos = 13 + ColourTableBytes(b.u8(10));
    // Only the first image is shown, so the walk ends with its data.
    while (b.has(pos, 1)) {
        const quint32 block = b.u8(pos++);
        if (block == 0x21) {   // extension: a label, then data sub-blocks
            ++pos;
            if (!SkipSubBlocks(b, pos))
                break;
        } else if (block == 0x2C) {   // image descriptor, colour table, LZW code size, data
            if (!b.has(pos, 9))
                break;
            // The decoder's canvas covers both the screen and the image.
            out.width = std::max<qint64>(out.width, b.le16(pos) + b.le16(pos + 4));
            out.height = std::max<qint64>(out.height, b.le16(pos + 2) + b.le16(pos + 6));
            pos += 9 + ColourTableBytes(b.u8(pos + 8)) + 1;
            if (!SkipSubBlocks(b, pos))
                break;
            return out;
        } else if (block == 0x3B) {   // trailer
            return Failed(out, QStringLiteral("the GIF file holds no image"));
        } else {
            return Failed(out, QStringLiteral("the GIF file has an unknown block (0x%1)").arg(block, 2, 16, QLatin1Char('0')));
        }
    }
    return Failed(out, kCutOff.arg(QStringLiteral("before the end of the first image")));
}

Outline WalkPng(const Bytes& b)
{
    Outline out;
    constexpr quint32 kIhdr = 0x49484452;
    constexpr quint32 kIend = 0x49454E44;
    if (!b.has(8, 8 + 13 + 4))
        return Failed(out, kCutOff.arg(QStringLiteral("inside the PNG header")));
    if (b.be32(8) != 13 || b.be32(12) != kIhdr)
        return Failed(out, QStringLiteral("the PNG file does not start with its header chunk"));
    out.width = b.be32(16);
    out.height = b.be32(20);
    if (SideTooLarge(out.width, out.height))
        return out;
    qint64 pos = 8;
    while (b.has(pos, 8)) {
        const qint64 length = b.be32(pos);
        const quint32 type = b.be32(pos + 4);
        if (length > 0x7FFFFFFF)
            return Failed(out, QStringLiteral("a PNG chunk has an invalid length"));
        if (!b.has(pos, 12 + length))
            break;
        pos += 12 + length;   // length, type, data, CRC
        if (type == kIend)
            return out;
    }
    return Failed(out, kCutOff.arg(QStringLiteral("before the PNG end chunk")));
}

bool IsStartOfFrame(quint32 marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool IsRestart(quint32 marker)
{
    return marker >= 0xD0 && marker <= 0xD7;
}

Outline WalkJpeg(const Bytes& b)
{
    Outline out;
    const QString cutOff = kCutOff.arg(QStringLiteral("before the JPEG end-of-image marker"));
    bool scanSeen = false;
    qint64 pos = 2;   // after the start-of-image marker
    for (;;) {
        if (!b.has(pos, 1))
            return Failed(out, cutOff);
        if (b.u8(pos) != 0xFF)
            return Failed(out, QStringLiteral("the JPEG file has data where a marker belongs"));
        while (b.has(pos, 1) && b.u8(pos) == 0xFF)   // a marker may be preceded by fill bytes
            ++pos;
        if (!b.has(pos, 1))
            return Failed(out, cutOff);
        const quint32 marker = b.u8(pos++);
        if (marker == 0xD9) {   // end of image
            if (!scanSeen)
                return Failed(out, QStringLiteral("the JPEG file holds no image data"));
            return out;
        }
        if (marker == 0x01 || IsRestart(marker))   // markers without a segment
            continue;
        if (marker == 0x00 || marker == 0xD8)
            return Failed(out, QStringLiteral("the JPEG file has a misplaced marker"));
        if (!b.has(pos, 2))
            return Failed(out, cutOff);
        const qint64 length = b.be16(pos);   // counts itself, not the marker
        if (length < 2)
            return Failed(out, QStringLiteral("a JPEG segment has an invalid length"));
        if (!b.has(pos, length))
            return Failed(out, cutOff);
        if (IsStartOfFrame(marker) && length >= 7 && out.width < 0) {
            out.height = b.be16(pos + 3);
            out.width = b.be16(pos + 5);
        }
        pos += length;
        if (marker == 0xDA) {   // start of scan: entropy-coded data follows
            scanSeen = true;
            // The data ends at the first 0xFF that is neither a stuffed 0xFF 0x00 nor a restart marker.
            for (;;) {
                pos = b.find(0xFF, pos);
                if (pos < 0 || !b.has(pos, 2))
                    return Failed(out, cutOff);
                const quint32 next = b.u8(pos + 1);
                if (next != 0x00 && !IsRestart(next))
                    break;
                pos += 2;
            }
        }
    }
}

}  // namespace

Format Sniff(const QByteArray& bytes)
{
    const Bytes b(bytes);
    if (b.startsWith("BM", 2))
        return Format::Bmp;
    if (b.startsWith("GIF87a", 6) || b.startsWith("GIF89a", 6))
        return Format::Gif;
    if (b.startsWith("\xFF\xD8\xFF", 3))
        return Format::Jpeg;
    if (b.startsWith("\x89PNG\r\n\x1A\n", 8))
        return Format::Png;
    return Format::Unknown;
}

const char* ReaderName(Format format)
{
    switch (format) {
    case Format::Bmp:
        return "bmp";
    case Format::Gif:
        return "gif";
    case Format::Jpeg:
        return "jpeg";
    case Format::Png:
        return "png";
    case Format::Unknown:
        break;
    }
    return "";
}

Outline Walk(Format format, const QByteArray& bytes)
{
    const Bytes b(bytes);
    switch (format) {
    case Format::Bmp:
        return WalkBmp(b);
    case Format::Gif:
        return WalkGif(b);
    case Format::Jpeg:
        return WalkJpeg(b);
    case Format::Png:
        return WalkPng(b);
    case Format::Unknown:
        break;
    }
    return Failed(Outline(), QStringLiteral("the content is not a BMP, GIF, JPEG or PNG picture"));
}

}  // namespace picture::framing
