// BMP and ICO encoders. The bitmaps go through Qt's BMP writer; the icon is written by hand
// because Qt's ICO writer always stores 32-bit images and has no 4-bit form.
#include "bitmapfile.h"

#include <QBuffer>
#include <QtEndian>

namespace artgen {

namespace {

void put16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void putInfoHeader(QByteArray& out, int width, int height, int bits, quint32 imageBytes,
                   quint32 pixelsPerMetre, quint32 coloursUsed)
{
    put32(out, 40);
    put32(out, quint32(width));
    put32(out, quint32(height));
    put16(out, 1);
    put16(out, quint16(bits));
    put32(out, 0); // BI_RGB
    put32(out, imageBytes);
    put32(out, pixelsPerMetre);
    put32(out, pixelsPerMetre);
    put32(out, coloursUsed);
    put32(out, 0);
}

void putPalette(QByteArray& out, const QList<QRgb>& table, int entries)
{
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < table.size() ? table[i] : 0;
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append(char(0));
    }
}

int stride(int width, int bits)
{
    return ((width * bits + 31) / 32) * 4;
}

bool isMasked(const QImage& indexed, int x, int y)
{
    return qAlpha(indexed.color(indexed.pixelIndex(x, y))) < 128;
}

} // namespace

QByteArray encodeBmp8(const QImage& indexed)
{
    if (indexed.format() != QImage::Format_Indexed8 || indexed.colorCount() > 256
        || indexed.isNull())
        return {};
    // Qt's writer sizes the palette by the colour table and drops to 4 bits for 16 colours
    // or fewer, so the table is padded to 256 entries first.
    QImage padded = indexed.copy();
    QList<QRgb> table = padded.colorTable();
    while (table.size() < 256)
        table.append(qRgb(0, 0, 0));
    padded.setColorTable(table);
    padded.setDotsPerMeterX(kPixelsPerMetre);
    padded.setDotsPerMeterY(kPixelsPerMetre);

    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    if (!padded.save(&buffer, "BMP"))
        return {};
    return out;
}

int iconImageBytes(int width, int height)
{
    return 40 + 16 * 4 + stride(width, 4) * height + stride(width, 1) * height;
}

QByteArray encodeIco4(const QImage& indexed)
{
    if (indexed.format() != QImage::Format_Indexed8 || indexed.colorCount() > 16
        || indexed.isNull() || indexed.width() > 256 || indexed.height() > 256)
        return {};
    const int w = indexed.width();
    const int h = indexed.height();
    const int xorStride = stride(w, 4);
    const int andStride = stride(w, 1);
    const int imageBytes = iconImageBytes(w, h);

    QByteArray out;
    // ICONDIR and its one ICONDIRENTRY; 256 pixels is written as 0.
    put16(out, 0);
    put16(out, 1);
    put16(out, 1);
    out.append(char(w & 0xff));
    out.append(char(h & 0xff));
    out.append(char(16));
    out.append(char(0));
    put16(out, 1);
    put16(out, 4);
    put32(out, quint32(imageBytes));
    put32(out, 6 + 16);

    // The image: its header counts the colour and mask rows together, hence twice the height.
    putInfoHeader(out, w, h * 2, 4, quint32((xorStride + andStride) * h), 0, 16);
    QList<QRgb> palette = indexed.colorTable();
    for (QRgb& c : palette) {
        if (qAlpha(c) < 128)
            c = 0;
    }
    putPalette(out, palette, 16);
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(xorStride, '\0');
        for (int x = 0; x < w; ++x) {
            const int index = indexed.pixelIndex(x, y);
            row[x / 2] = char(row[x / 2] | (x % 2 == 0 ? index << 4 : index));
        }
        out.append(row);
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(andStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (isMasked(indexed, x, y))
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
    return out;
}

QImage iconToArgb(const QImage& indexed)
{
    QImage out(indexed.size(), QImage::Format_ARGB32);
    for (int y = 0; y < indexed.height(); ++y) {
        for (int x = 0; x < indexed.width(); ++x) {
            const QRgb c = indexed.color(indexed.pixelIndex(x, y));
            out.setPixel(x, y, qAlpha(c) < 128 ? qRgba(0, 0, 0, 0) : (c | 0xff000000));
        }
    }
    return out;
}

} // namespace artgen
