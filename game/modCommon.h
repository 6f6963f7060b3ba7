// modCommon: the procedures the windows share (resource access, cursor test, ...).
#pragma once

#include "ImageControl.h"
#include "ScreenGeometry.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace modCommon {

// ---- Resource access: the game's only way to its colours, captions and pictures ----
// Each call creates one object of the resource library by its class id, sets the id (and the
// picture type), reads one result and releases the object on every path. Nothing is cached.
// GetResStr reads in the player's language (language::current()): the library serves a string
// it has not in English in Japanese, and a library that knows no languages (no _QelRes2) is read
// as it is, in Japanese.
// Errors raised (errors::AppError), none of them caught by the callers:
//   6   overflow: the id lies outside -32768..32767 (raised before any object is created);
//   429 cannot create object: the library is not registered, missing or broken;
//   326 resource not found: the library has no such id, or not of that picture type;
//   any other failure of the library: its own error, number and text (e.g. 481 invalid
//   picture, or the result code itself, such as -2147024882 out of memory).

inline constexpr std::int16_t kPictureBitmap = 0;
inline constexpr std::int16_t kPictureIcon = 1;

QString GetResStr(std::int32_t id);
QImage GetResPic(std::int32_t id, std::int16_t pictureType);

// The colour a colour text names: "&H" and up to eight hex digits 00BBGGRR (a decimal text
// is read as the same number). Anything else raises error 13, type mismatch.
QColor colorFromText(const QString& text);
// Texts of numbers: a real ("1500") and a 32-bit integer ("1200"); error 13 when unreadable.
float singleFromText(const QString& text);
std::int32_t longFromText(const QString& text);

// ---- Score store: strings by application, section and key, kept across runs ----
// ReadSetting gives the empty text for an absent key; WriteSetting is on disk, whole, when it
// returns, and raises error 75 naming the file and the reason when it cannot be written.
QString ReadSetting(const QString& application, const QString& section, const QString& key);
void WriteSetting(const QString& application, const QString& section, const QString& key, const QString& value);

// ---- Pause ----
// Blocks the calling thread until the time of day, in whole seconds, is at least three seconds
// past the time noted on entry (a change of day counts as time passing): between two and three
// seconds of real time. `secondsOfDay` gives the time of day (0..86399); `wait` is called
// between looks. Nothing else runs on the thread meanwhile.
void ClockPause(const std::function<int()>& secondsOfDay, const std::function<void()>& wait);
int secondsOfDay();   // the real time of day
void shortWait();     // the real wait between looks: 20 ms

// ---- Picture buttons ----
// Gives `button` its hover picture (the next id) while the cursor is over it or while it shows
// the keyboard's focus mark, else its normal picture, fetched anew from the library on every
// call. Whether the cursor is over it is IsCursorOver's answer alone, so a covered button and one
// behind a modal box count too; only where the cursor's position cannot be read outside the
// program's windows does a leave event since the last enter event say that it is not.
void showButtonPicture(ImageControl& button, std::int32_t normalId,
                       const screen::Geometry& geometry = screen::System());

// ---- Cursor test ----

// True when the cursor lies strictly inside `ctl`'s rectangle on the screen. `ctl` lies on a
// window (its parent); `container`, when given, is a control holding `ctl` whose position offsets
// it. The window's border and caption are derived from its outer size in twips and inner size in
// pixels, as the window manager reports them. Purely geometric: a covered or inactive window's
// controls count too. Never fails; nothing on the window changes.
bool IsCursorOver(const QWidget& ctl, const QWidget* container = nullptr,
                  const screen::Geometry& geometry = screen::System());

}  // namespace modCommon
