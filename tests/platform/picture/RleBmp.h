// RLE-compressed BMP files written byte by byte (Qt writes only uncompressed ones), for the picture tests.
#pragma once

#include <QByteArray>
#include <QList>
#include <QRgb>
#include <QtEndian>

namespace picture_test {

// A bottom-up BMP of width x height whose pixel data is `data` as given: RLE8 when `bits` is 8,
// RLE4 when it is 4, with `palette` as its colour table.
inline QByteArray RleBmp(int width, int height, int bits, const QList<QRgb>& palette, const QByteArray& data)
{
    QByteArray bytes(14 + 40, '\0');
    char* header = bytes.data();
    header[0] = 'B';
    header[1] = 'M';
    qToLittleEndian<quint32>(quint32(14 + 40 + 4 * palette.size()), header + 10);   // where the pixels start
    char* info = header + 14;
    qToLittleEndian<quint32>(40, info);
    qToLittleEndian<qint32>(width, info + 4);
    qToLittleEndian<qint32>(height, info + 8);
    qToLittleEndian<quint16>(1, info + 12);   // planes
    qToLittleEndian<quint16>(quint16(bits), info + 14);
    qToLittleEndian<quint32>(bits == 8 ? 1 : 2, info + 16);   // BI_RLE8 or BI_RLE4
    qToLittleEndian<quint32>(quint32(palette.size()), info + 32);
    for (const QRgb colour : palette) {
        const char entry[4] = {char(qBlue(colour)), char(qGreen(colour)), char(qRed(colour)), 0};
        bytes.append(entry, 4);
    }
    bytes += data;
    qToLittleEndian<quint32>(quint32(bytes.size()), bytes.data() + 2);
    return bytes;
}

}  // namespace picture_test
