// The move rule and the slide arithmetic.
#include "Move.h"

#include <cstdlib>

namespace board {

std::optional<Direction> findMove(const BoardModel& model, int tile)
{
    const Cell cell = model.board.find(tile).value_or(Cell{});   // (0, 0): next to no gap
    const int tc = cell.column;
    const int tr = cell.row;
    if (model.gapCol == tc - 1 && model.gapRow == tr)
        return Direction::Left;
    if (model.gapCol == tc + 1 && model.gapRow == tr)
        return Direction::Right;
    if (model.gapRow == tr - 1 && model.gapCol == tc)
        return Direction::Up;
    if (model.gapRow == tr + 1 && model.gapCol == tc)
        return Direction::Down;
    return std::nullopt;
}

std::optional<Direction> applyMove(BoardModel& model, int tile)
{
    const auto direction = findMove(model, tile);
    if (!direction)
        return std::nullopt;
    int tc = model.gapCol;
    int tr = model.gapRow;
    switch (*direction) {
    case Direction::Right: --tc; break;   // the gap lies to the right of the tile
    case Direction::Left: ++tc; break;
    case Direction::Up: ++tr; break;
    case Direction::Down: --tr; break;
    }
    model.board(model.gapCol, model.gapRow) = tile;
    model.gapCol = static_cast<std::int16_t>(tc);
    model.gapRow = static_cast<std::int16_t>(tr);
    model.board(tc, tr) = kGapTile;
    return direction;
}

std::optional<int> tileToSlide(const BoardModel& model, Direction direction)
{
    int column = model.gapCol;
    int row = model.gapRow;
    switch (direction) {
    case Direction::Left: ++column; break;
    case Direction::Right: --column; break;
    case Direction::Up: ++row; break;
    case Direction::Down: --row; break;
    }
    if (column < 1 || column > kColumns || row < 1 || row > kRows)
        return std::nullopt;
    return model.board(column, row);
}

SlideStepResult slideTick(Slide& slide, std::int32_t slideStep)
{
    SlideStepResult r;
    switch (slide.moveDir) {
    case Direction::Right: r.dx = slideStep; break;
    case Direction::Left: r.dx = -slideStep; break;
    case Direction::Up: r.dy = -slideStep; break;
    case Direction::Down: r.dy = slideStep; break;
    }
    slide.slideSumX += r.dx;
    slide.slideSumY += r.dy;
    if (std::abs(slide.slideSumX) < kPitch && std::abs(slide.slideSumY) < kPitch)
        return r;
    r.ended = true;
    if (slide.slideSumX < 0)
        r.dx -= slide.slideSumX + kPitch;
    if (slide.slideSumX > kPitch)
        r.dx -= slide.slideSumX - kPitch;
    if (slide.slideSumY < 0)
        r.dy -= slide.slideSumY + kPitch;
    if (slide.slideSumY > kPitch)
        r.dy -= slide.slideSumY - kPitch;
    return r;
}

}  // namespace board
