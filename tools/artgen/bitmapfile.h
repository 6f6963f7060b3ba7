// Byte-exact encoders for the game's 8-bit bitmaps and its 16-colour icon.
#pragma once

#include <QByteArray>
#include <QImage>

namespace artgen {

inline constexpr int kPixelsPerMetre = 2835; // 72 dots per inch

// A complete .bmp file: 14-byte file header, 40-byte BITMAPINFOHEADER, exactly 256
// palette entries (the image's colour table padded with black), 8 bits per pixel, BI_RGB,
// bottom-up rows padded to four bytes, 2835 pixels per metre both ways.
// `indexed` must be Format_Indexed8 with at most 256 colours; returns empty otherwise.
QByteArray encodeBmp8(const QImage& indexed);

// Byte count of the image data of a 4-bit icon of the given size: header, 16-entry
// palette, 4-bit colour rows and 1-bit mask rows.
int iconImageBytes(int width, int height);

// A complete .ico file holding one image at 4 bits per pixel with a 1-bit AND mask.
// `indexed` must be Format_Indexed8 with at most 16 colours and at most 256 pixels each
// way. A colour-table entry with alpha below 128 is transparent: it is written as black and
// the pixels using it get their mask bit set; every other pixel has its bit clear.
// Returns empty on a bad input.
QByteArray encodeIco4(const QImage& indexed);

// The icon as the game sees it on screen: opaque colours where the mask is clear,
// transparent elsewhere (ARGB32).
QImage iconToArgb(const QImage& indexed);

} // namespace artgen
