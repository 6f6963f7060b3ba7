// Where things are on the screen: the cursor, and a window's outer and inner geometry.
//
// Contract
//   Everything is in Qt's logical pixels (the units of QCursor::pos() and widget geometry), or
//   twips at kTwipsPerPixel per logical pixel. OuterTwips is the window's frame rectangle
//   (left, top, width, height) including any border and title bar the window manager adds;
//   InnerPixels is the client area. A borderless window has equal outer and inner sizes.
//   Tests substitute their own Geometry to place the cursor and the frame where they like.
#pragma once

#include "Twips.h"

#include <QCursor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

namespace screen {

class Geometry {
public:
    virtual ~Geometry() = default;
    virtual QPoint CursorPos() const = 0;
    virtual double TwipsPerPixelX() const { return kTwipsPerPixel; }
    virtual double TwipsPerPixelY() const { return kTwipsPerPixel; }
    virtual QRect OuterTwips(const QWidget& window) const = 0;
    virtual QSize InnerPixels(const QWidget& window) const = 0;
};

// The real screen.
class SystemGeometry final : public Geometry {
public:
    QPoint CursorPos() const override { return QCursor::pos(); }
    QRect OuterTwips(const QWidget& window) const override
    {
        const QRect f = window.frameGeometry();
        return QRect(f.x() * kTwipsPerPixel, f.y() * kTwipsPerPixel, f.width() * kTwipsPerPixel,
                     f.height() * kTwipsPerPixel);
    }
    QSize InnerPixels(const QWidget& window) const override { return window.size(); }
};

inline const Geometry& System()
{
    static const SystemGeometry geometry;
    return geometry;
}

}  // namespace screen
