// A tile click turned into a move, and the slide of its image one cell towards the gap.
#pragma once

#include "Board.h"
#include "Direction.h"

#include <cstdint>
#include <optional>

namespace board {

inline constexpr std::int32_t kSlideStepAnimated = 400;   // twips per tick with animation on
inline constexpr std::int32_t kSlideStepJump = kPitch;    // one jump with animation off

// The direction in which `tile` would slide into the gap, or nothing when it is not next to the
// gap in its row or column (or lies on no cell).
std::optional<Direction> findMove(const BoardModel& model, int tile);

// Finds the move and applies it to the board at once (the gap takes the tile, the tile's cell
// becomes the gap). Returns the direction, or nothing with the board unchanged.
std::optional<Direction> applyMove(BoardModel& model, int tile);

// The tile that slides into the gap when a tile moves in `direction`: the one beside the gap on
// the opposite side. Nothing when the gap lies on that edge of the board.
std::optional<int> tileToSlide(const BoardModel& model, Direction direction);

// The slide in progress: distance travelled so far in twips.
struct Slide {
    Direction moveDir = Direction::Right;
    std::int32_t slideSumX = 0;
    std::int32_t slideSumY = 0;
};

struct SlideStepResult {
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    bool ended = false;   // this tick completes the cell pitch exactly
};

// One tick of a slide with the given step (read afresh each tick). The last offset is trimmed
// so that the image stops exactly one pitch from where it started.
SlideStepResult slideTick(Slide& slide, std::int32_t slideStep);

}  // namespace board
