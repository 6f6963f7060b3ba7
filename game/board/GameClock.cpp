// Formatting the game clock.
#include "GameClock.h"

#include <cstdio>

namespace board {

std::string ClockText(std::int32_t playSeconds)
{
    if (playSeconds < 0)
        playSeconds = 0;
    const std::int32_t seconds = playSeconds % 60;
    const std::int32_t minutes = (playSeconds / 60) % 60;
    const std::int32_t hours = playSeconds / 3600;
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(hours), static_cast<int>(minutes),
                  static_cast<int>(seconds));
    return text;
}

}  // namespace board
