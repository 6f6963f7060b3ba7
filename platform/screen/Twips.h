// Twips: 1/1440 of a logical inch, the unit in which windows and controls are laid out.
//
// Contract
//   At 96 logical dots per inch there are 15 twips per pixel. Conversions work in Qt's logical
//   (device-independent) pixels; Qt's own high-DPI scaling maps those onto the screen, so a
//   layout in twips keeps its size on any screen. Conversions round to the nearest pixel, so a
//   position kept in twips never drifts however often it is moved.
#pragma once

#include <QRect>
#include <cmath>
#include <cstdint>

namespace screen {

inline constexpr int kTwipsPerPixel = 15;

// The coordinate scale of a window or picture box.
enum class ScaleMode { Twips = 1, Pixels = 3 };

inline int TwipsToPixels(std::int32_t twips)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

inline std::int32_t PixelsToTwips(int pixels)
{
    return static_cast<std::int32_t>(pixels) * kTwipsPerPixel;
}

// A rectangle given as left, top, width, height in twips, in pixels. The far edges are rounded
// on their own, so neighbouring controls stay edge to edge.
inline QRect TwipsRect(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height)
{
    const int x = TwipsToPixels(left);
    const int y = TwipsToPixels(top);
    return QRect(x, y, TwipsToPixels(left + width) - x, TwipsToPixels(top + height) - y);
}

}  // namespace screen
