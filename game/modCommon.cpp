// The shared procedures of the game's windows.
#include "modCommon.h"

#include <cmath>
#include <cstdint>

namespace modCommon {

namespace {

// Nearest integer, ties to even. Positions are held in 32 bits so that desktops larger than
// 32767 pixels do not wrap.
std::int32_t Nearest(double value)
{
    return static_cast<std::int32_t>(std::nearbyint(value));
}

}  // namespace

bool IsCursorOver(const QWidget& ctl, const QWidget* container, const screen::Geometry& geometry)
{
    const QWidget* window = ctl.window();
    if (!window)
        return false;
    const QPoint cursor = geometry.CursorPos();

    // Geometry is read in pixels directly, so no scale mode of the window has to change.
    std::int32_t ox = 0;
    std::int32_t oy = 0;
    if (container) {
        ox = container->x();
        oy = container->y();
    }
    const std::int32_t tx = Nearest(geometry.TwipsPerPixelX());
    const std::int32_t ty = Nearest(geometry.TwipsPerPixelY());
    if (tx == 0 || ty == 0)
        return false;
    const QRect outer = geometry.OuterTwips(*window);
    const QSize inner = geometry.InnerPixels(*window);

    const std::int32_t b = Nearest(static_cast<double>(outer.width()) / tx - inner.width()) / 2;
    const std::int32_t c = Nearest(static_cast<double>(outer.height()) / ty - inner.height() - 2.0 * b);
    const std::int32_t left = Nearest(ctl.x() + (static_cast<double>(outer.x()) / tx + b) + ox);
    const std::int32_t top = Nearest(ctl.y() + (static_cast<double>(outer.y()) / ty + b + c) + oy);

    return cursor.x() > left && cursor.x() < left + ctl.width() && cursor.y() > top && cursor.y() < top + ctl.height();
}

}  // namespace modCommon
