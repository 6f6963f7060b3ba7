// Boards as the solver sees them: sixteen numbers in reading order, their checks and slides.
//
// A board lists, cell by cell in reading order (left to right, top to bottom), the tile lying
// there: 0 is the gap and the game's tile t is written t - 1, so the solved board reads
// 0 1 2 ... 15 with the gap in the top-left cell. Tile v belongs in the cell of index v.
#pragma once

#include "Direction.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace solver {

inline constexpr int kSide = 4;
inline constexpr int kCellCount = kSide * kSide;

using Tiles = std::array<std::uint8_t, kCellCount>;

// The solved board: every tile v in cell v, the gap in cell 0.
constexpr Tiles solvedTiles()
{
    Tiles t{};
    for (int i = 0; i < kCellCount; ++i)
        t[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    return t;
}

using board::Direction;

// One slide: `tile` is the board number (1 to 15) of the tile that moves, `direction` the way
// it goes. The game's name for the tile is tile + 1.
struct Move {
    std::uint8_t tile = 0;
    Direction direction = Direction::Up;
    friend bool operator==(const Move&, const Move&) = default;
};

// "up", "down", "left" or "right".
std::string_view directionName(Direction direction);

// "5 left": the board number of the tile, then its direction.
std::string describeMove(const Move& move);

// Why a board cannot be solved, if it cannot.
enum class BoardProblem : std::uint8_t {
    None,
    NotAPermutation,  // some number is over 15 or appears twice
    WrongParity,      // a true permutation that no sequence of slides brings to the solved board
};

// A permutation of 0..15 is solvable exactly when its parity equals the parity of the gap's
// distance (rows + columns) from the top-left cell.
BoardProblem checkBoard(const Tiles& tiles);

// A sentence for the player or the log; empty for BoardProblem::None.
std::string problemText(BoardProblem problem);

// Reads sixteen whitespace-separated decimal numbers. On failure returns nothing and puts a
// sentence in `error` (too few or too many numbers, a word that is not a number). It does not
// check that the numbers form a solvable board: see checkBoard.
std::optional<Tiles> parseTiles(std::string_view text, std::string& error);

// "0 1 2 ... 15".
std::string formatTiles(const Tiles& tiles);

// The cell of the gap, or -1 when there is none.
int gapCell(const Tiles& tiles);

// Slides `move` on `tiles`. Returns false, changing nothing, when that tile is not beside the
// gap on the side the direction needs.
bool applyMove(Tiles& tiles, const Move& move);

// The slide that moves the tile standing in `cell` into the neighbouring gap at `gap`.
Move moveFromCells(const Tiles& tiles, int cell, int gap);

// Reflection about the main diagonal, which maps the solved board onto itself: the tile in
// (row, column) goes to (column, row) and is renamed the same way.
constexpr int transposeCell(int cell) { return (cell % kSide) * kSide + cell / kSide; }
Tiles transposeTiles(const Tiles& tiles);

}  // namespace solver
