// The clock's text for a number of seconds played.
#pragma once

#include <cstdint>
#include <string>

namespace board {

// "hh:mm:ss", each field at least two digits. Hours are shown in full past 99 ("216:00:00"),
// never wrapped, so a long game still shows its true time. Negative input reads as 0.
std::string ClockText(std::int32_t playSeconds);

}  // namespace board
