// Where things are on the screen: the cursor, and a window's outer and inner geometry.
//
// Contract
//   Everything is in Qt's logical pixels (the units of QCursor::pos() and widget geometry), or
//   twips at kTwipsPerPixel per logical pixel. OuterTwips is the window's frame rectangle
//   (left, top, width, height) including any border and title bar the window manager adds;
//   InnerPixels is the client area. A borderless window has equal outer and inner sizes.
//   CursorKnownOutsideWindows tells whether CursorPos is right wherever the pointer is; where it
//   is not (Wayland tells a program the pointer's position only while it is over one of its
//   windows), CursorPos keeps the last position seen inside them.
//   Tests substitute their own Geometry to place the cursor and the frame where they like.
//   While a CursorRead lives (user-interface thread only), SystemGeometry::CursorPos asks the
//   display server once and answers every later call from that answer: the hover tests of one
//   timer tick see one pointer position and cost one round trip on X11, not one per button.
#pragma once

#include "Twips.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <optional>

namespace screen {

class Geometry {
public:
    virtual ~Geometry() = default;
    virtual QPoint CursorPos() const = 0;
    virtual double TwipsPerPixelX() const { return kTwipsPerPixel; }
    virtual double TwipsPerPixelY() const { return kTwipsPerPixel; }
    virtual QRect OuterTwips(const QWidget& window) const = 0;
    virtual QSize InnerPixels(const QWidget& window) const = 0;
    virtual bool CursorKnownOutsideWindows() const { return true; }
};

namespace detail {
inline int cursorReads = 0;
inline std::optional<QPoint> cursorHeld;
}  // namespace detail

class CursorRead {
public:
    CursorRead() { ++detail::cursorReads; }
    ~CursorRead()
    {
        if (--detail::cursorReads == 0)
            detail::cursorHeld.reset();
    }
    CursorRead(const CursorRead&) = delete;
    CursorRead& operator=(const CursorRead&) = delete;
};

// The real screen.
class SystemGeometry final : public Geometry {
public:
    QPoint CursorPos() const override
    {
        if (detail::cursorReads == 0)
            return QCursor::pos();
        if (!detail::cursorHeld)
            detail::cursorHeld = QCursor::pos();
        return *detail::cursorHeld;
    }
    QRect OuterTwips(const QWidget& window) const override
    {
        const QRect f = window.frameGeometry();
        return QRect(f.x() * kTwipsPerPixel, f.y() * kTwipsPerPixel, f.width() * kTwipsPerPixel,
                     f.height() * kTwipsPerPixel);
    }
    QSize InnerPixels(const QWidget& window) const override { return window.size(); }
    bool CursorKnownOutsideWindows() const override
    {
        return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    }
};

inline const Geometry& System()
{
    static const SystemGeometry geometry;
    return geometry;
}

}  // namespace screen
