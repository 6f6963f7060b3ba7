// The clock's text for a number of seconds played.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace board {

// "hh:mm:ss", each field at least two digits. Hours are shown in full past 99 ("216:00:00"),
// never wrapped, so a long game still shows its true time. Negative input reads as 0.
std::string clockText(std::int32_t playSeconds);

}  // namespace board

namespace board {

// The comparison key of a time text: the number read from its first two characters, the two
// at positions 4 and 5 (1-based) and its last two, so "00:12:34" gives 1234 and "01:00:00"
// gives 10000. The six characters are read as a number the lenient way: blanks, tabs and line
// feeds are skipped, reading stops at the first character that cannot continue a number, and
// no number gives 0. A value beyond the 32-bit range is clamped to it rather than failing.
// A clock text with more than two digits of hours ("100:00:00") is keyed from its fields the
// same way (hours * 10000 + minutes * 100 + seconds), so it never passes for a short time.
std::int32_t TimeKey(std::string_view timeText);

// The lenient number reading TimeKey uses: optional sign, digits, decimal point, exponent
// (E or D), or "&H" / "&O" followed by hexadecimal / octal digits; blanks, tabs and line
// feeds anywhere are skipped. Rounded to the nearest integer (ties to even) and clamped.
std::int32_t lenientNumber(std::string_view text);

}  // namespace board
