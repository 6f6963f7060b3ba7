// IPicture: the platform's picture object, a bitmap or an icon handed out by a component.
//
// Contract
//   A picture is immutable. width() and height() are in pixels. image() returns the pixels as a
//   QImage that shares the picture's data (copy-on-write; changing it never changes the picture).
//   A bitmap keeps its stored depth: an 8-bit bitmap is Format_Indexed8 with its palette and
//   its resolution in dotsPerMeterX/Y. An icon comes as 32-bit ARGB with its mask as alpha.
//   The pixels are owned by Qt's own allocator, so they stay valid after the library that
//   made the picture is gone; the picture object itself keeps that library loaded until
//   its last release.
#pragma once

#include "Unknown.h"

#include <QImage>

namespace component {

enum class PictureKind { Bitmap, Icon };

class IPicture : public IUnknown {
public:
    static constexpr QUuid kIid{0x1d31bb1a, 0x46be, 0x4cc9, 0xbf, 0x7e, 0xf4, 0x54, 0x41, 0xd8, 0x57, 0x68};

    virtual PictureKind kind() const noexcept = 0;
    virtual int width() const noexcept = 0;
    virtual int height() const noexcept = 0;
    virtual QImage image() const noexcept = 0;

protected:
    ~IPicture() = default;
};

}  // namespace component
