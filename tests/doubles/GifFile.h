// GIF files for the picture tests, written through libgif (Qt reads GIF but cannot write it).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QtGlobal>

#include <gif_lib.h>

#include <optional>

namespace gif_file_detail {
inline int AppendToArray(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}
}  // namespace gif_file_detail

// A GIF89a of `image` (at most 256 colours); colour `transparent` of the palette is see-through.
inline QByteArray EncodeGif(const QImage& image, std::optional<QRgb> transparent = std::nullopt)
{
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    QByteArray bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, gif_file_detail::AppendToArray, &error);
    if (!gif)
        qFatal("libgif cannot start a GIF: error %d", error);
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    const QList<QRgb> table = indexed.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < table.size() ? table[i] : 0;
        map->Colors[i] = {GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))};
    }
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, indexed.width(), indexed.height(), 8, 0, map);
    if (transparent) {
        const GifByteType control[4] = {0x01, 0, 0, GifByteType(table.indexOf(*transparent))};
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    }
    EGifPutImageDesc(gif, 0, 0, indexed.width(), indexed.height(), false, nullptr);
    for (int y = 0; y < indexed.height(); ++y)
        EGifPutLine(gif, const_cast<GifPixelType*>(indexed.constScanLine(y)), indexed.width());
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return bytes;
}
