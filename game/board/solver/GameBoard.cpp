// The game's board as the solver's sixteen numbers.
#include "GameBoard.h"

namespace solver {

std::optional<Tiles> tilesFromBoard(const board::Board& board)
{
    Tiles tiles{};
    for (int row = 1; row <= kSide; ++row)
        for (int column = 1; column <= kSide; ++column) {
            const int tile = board(column, row);
            if (tile < 1 || tile > kCellCount)
                return std::nullopt;
            tiles[static_cast<std::size_t>((row - 1) * kSide + (column - 1))] = static_cast<std::uint8_t>(tile - 1);
        }
    return tiles;
}

}  // namespace solver
