// modCommon: the procedures the windows share (resource access, cursor test, ...).
#pragma once

#include "ScreenGeometry.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>

namespace modCommon {

// ---- Resource access: the game's only way to its colours, captions and pictures ----
// Each call creates one object of the resource library by its class id, sets the id (and the
// picture type), reads one result and releases the object on every path. Nothing is cached.
// Errors raised (errors::AppError), none of them caught by the callers:
//   6   overflow: the id lies outside -32768..32767 (raised before any object is created);
//   429 cannot create object: the library is not registered, missing or broken;
//   326 resource not found: the library has no such id, or not of that picture type.

inline constexpr std::int16_t kPictureBitmap = 0;
inline constexpr std::int16_t kPictureIcon = 1;

QString GetResStr(std::int32_t id);
QImage GetResPic(std::int32_t id, std::int16_t pictureType);

// The colour a colour text names: "&H" and up to eight hex digits 00BBGGRR (a decimal text
// is read as the same number). Anything else raises error 13, type mismatch.
QColor ColorFromText(const QString& text);
// Texts of numbers: a real ("1500") and a 32-bit integer ("1200"); error 13 when unreadable.
float SingleFromText(const QString& text);
std::int32_t LongFromText(const QString& text);

// ---- Cursor test ----

// True when the cursor lies strictly inside `ctl`'s rectangle on the screen. `ctl` lies on a
// window (its parent); `container`, when given, is a control holding `ctl` whose position offsets
// it. The window's border and caption are derived from its outer size in twips and inner size in
// pixels, as the window manager reports them. Purely geometric: a covered or inactive window's
// controls count too. Never fails; nothing on the window changes.
bool IsCursorOver(const QWidget& ctl, const QWidget* container = nullptr,
                  const screen::Geometry& geometry = screen::System());

}  // namespace modCommon
