// The way a tile slides into the gap (the gap travels the opposite way).
#pragma once

#include <cstdint>

namespace board {

// The values are the slide codes the main window keeps in moveDir: 0 right, 1 left, 2 up, 3 down.
enum class Direction : std::int16_t { Right = 0, Left = 1, Up = 2, Down = 3 };

}  // namespace board
