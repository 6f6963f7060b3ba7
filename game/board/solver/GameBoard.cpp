// Conversion between the game's board model and the solver's sixteen-number boards.
#include "GameBoard.h"

#include <charconv>

namespace solver {

std::optional<Tiles> tilesFromBoard(const board::Board& board)
{
    Tiles tiles{};
    for (int row = 1; row <= kSide; ++row)
        for (int column = 1; column <= kSide; ++column) {
            const std::string& text = board(column, row);
            int name = 0;
            const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), name);
            if (ec != std::errc() || ptr != text.data() + text.size() || name < 1 || name > kCellCount)
                return std::nullopt;
            tiles[static_cast<std::size_t>((row - 1) * kSide + (column - 1))] = static_cast<std::uint8_t>(name - 1);
        }
    return tiles;
}

std::string gameTileName(const Move& move)
{
    return std::to_string(move.tile + 1);
}

}  // namespace solver
