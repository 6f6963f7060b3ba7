// The board grid and its completion check.
#include "Board.h"

#include <sstream>
#include <stdexcept>

namespace board {

std::size_t Board::index(int column, int row)
{
    if (column < 1 || column > kColumns || row < 1 || row > kRows)
        throw std::out_of_range("board cell (" + std::to_string(column) + ", " + std::to_string(row) + ")");
    return static_cast<std::size_t>((row - 1) * kColumns + (column - 1));
}

std::optional<Cell> Board::find(int tile) const
{
    if (tile == kNoTile)
        return std::nullopt;
    for (int k = 0; k < kCells; ++k)
        if (m_cells[static_cast<std::size_t>(k)] == tile)
            return Cell{k % kColumns + 1, k / kColumns + 1};
    return std::nullopt;
}

Board Board::fromString(std::string_view text)
{
    Board b;
    std::istringstream in{std::string(text)};
    std::string word;
    int k = 0;
    while (in >> word) {
        if (k >= kCells)
            throw std::invalid_argument("more than 16 cells in board text");
        int tile = kNoTile;
        if (word != ".") {
            std::size_t used = 0;
            tile = std::stoi(word, &used);
            if (used != word.size() || tile < 1 || tile > kCells)
                throw std::invalid_argument("not a tile number in board text: " + word);
        }
        b.m_cells[static_cast<std::size_t>(k++)] = tile;
    }
    if (k != kCells)
        throw std::invalid_argument("fewer than 16 cells in board text");
    return b;
}

std::string Board::toString() const
{
    std::string out;
    for (const int tile : m_cells) {
        if (!out.empty())
            out += ' ';
        out += tile == kNoTile ? "." : std::to_string(tile);
    }
    return out;
}

int BoardModel::panelOf(int tile) const
{
    for (int k = 0; k < kCells; ++k)
        if (tile != kNoTile && panelTile[static_cast<std::size_t>(k)] == tile)
            return k;
    return -1;
}

bool IsBoardSolved(const Board& board)
{
    for (int t = 2; t <= kCells; ++t)
        if (board((t - 1) % kColumns + 1, (t - 1) / kColumns + 1) != t)
            return false;
    return true;
}

void fillSolved(Board& board, int columns, int rows)
{
    int next = 1;
    for (int row = 1; row <= rows; ++row)
        for (int column = 1; column <= columns; ++column)
            board(column, row) = next++;
}

}  // namespace board
