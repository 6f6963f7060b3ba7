// The picture object that GetResPicture hands out: a bitmap or icon decoded from the catalogue.
//
// Contract
//   decodePicture makes a new picture object with one reference for the caller, or returns
//   hr::kInvalidPicture if the stored bytes cannot be decoded. An 8-bit bitmap becomes
//   Format_Indexed8 with its palette and resolution; icons are decoded by Qt's ICO image plugin,
//   which turns the icon's mask into alpha. The object holds the library loaded (module::Lock)
//   until its last release.
//
//   decodeBitmap reads a whole .bmp file. The catalogue's own format (uncompressed 8-bit,
//   40-byte header, bottom-up) is decoded directly: QImageReader spends some 8 us per call just
//   choosing its handler, half the budget of a button fetch. Any other bitmap goes to
//   QImageReader. A null image means the bytes are no bitmap.
#pragma once

#include "Picture.h"

#include <QImage>

#include <span>

namespace qel {

QImage decodeBitmap(std::span<const unsigned char> bytes);

component::HResult decodePicture(component::PictureKind kind, std::span<const unsigned char> bytes,
                                 component::IPicture** picture) noexcept;

}  // namespace qel
