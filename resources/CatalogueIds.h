// The ids of the resource catalogue: every string, bitmap and icon the game reads from Qel.
//
// Contract
//   String ids and picture ids are separate name spaces (string 100 and bitmap 100 both exist
//   and belong together). A picture button's hover picture is the next id after its normal one.
//   The library's catalogue files its entries under these names, and the game reads them by
//   these names only: a re-skinned library keeps the ids and changes what lies behind them.
//   Strings are filed by language. Every string is filed in Japanese (1041), the library's first
//   language; the texts a player reads (the selection caption and the picture names) are filed
//   in English (1033) too. The game asks for the player's language (_QelRes2::Language) and gets
//   the Japanese string where the library has no English one, so a re-skinned library may file
//   its strings in Japanese alone. Colours and numbers are filed in Japanese only. "Game Clear"
//   is the same in both languages.
#pragma once

#include <cstdint>

namespace qel::ids {

// ---- Strings ----
namespace str {
inline constexpr std::int32_t kMainBackColor = 3;      // main window, selection frame, board, options
inline constexpr std::int32_t kClockForeColor = 5;     // the clock on the main window
inline constexpr std::int32_t kSelectForeColor = 6;    // the selection frame's caption
inline constexpr std::int32_t kSelectCaption = 7;      // "画像選択", in English "Select Picture"
inline constexpr std::int32_t kEndCaption = 8;         // "Game Clear"
inline constexpr std::int32_t kEndForeColor = 9;
inline constexpr std::int32_t kPreviewBackColor = 20;
inline constexpr std::int32_t kRecordBackColor = 34;   // name entry and score windows
inline constexpr std::int32_t kRecordForeColor = 35;
inline constexpr std::int32_t kPictureName1 = 100;     // names of built-in pictures 1 to 3: 100 to 102
                                                       // ("ひとり", "どらごん", "へび"; "Alone", "Dragon", "Snake")
inline constexpr std::int32_t kEndingWidth = 301;      // the ending strip's buffer, pixels
inline constexpr std::int32_t kEndingHeight = 302;
inline constexpr std::int32_t kEndingSteps = 303;
inline constexpr std::int32_t kEndingBackColor = 304;

// The name of built-in picture `n` (1 to 3).
constexpr std::int32_t pictureName(int n) { return kPictureName1 + n - 1; }
}  // namespace str

// ---- Bitmaps ----
namespace bmp {
inline constexpr std::int32_t kTitle = 1;
inline constexpr std::int32_t kEndButton = 10;     // normal pictures; hover is hover(id)
inline constexpr std::int32_t kMenuButton = 12;
inline constexpr std::int32_t kStartButton = 14;
inline constexpr std::int32_t kCloseButton = 16;
inline constexpr std::int32_t kOkButton = 30;
inline constexpr std::int32_t kClearButton = 32;
inline constexpr std::int32_t kPicture1 = 100;     // built-in pictures 1 to 3: 100 to 102
inline constexpr std::int32_t kEndingStrip = 300;

// The mouse-over picture of a picture button whose normal picture is `normal`.
constexpr std::int32_t hover(std::int32_t normal) { return normal + 1; }
// Built-in picture `n` (1 to 3).
constexpr std::int32_t picture(int n) { return kPicture1 + n - 1; }
}  // namespace bmp

// ---- Icon ----
namespace icon {
inline constexpr std::int32_t kWindow = 999;       // the secondary windows' icon and the about picture
}  // namespace icon

// ---- Custom data ----
namespace typelib {
inline constexpr std::int32_t kQelRes = 1;         // the "TYPELIB" entry: the class interface's description
}  // namespace typelib

}  // namespace qel::ids
