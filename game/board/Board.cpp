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

Board Board::fromString(std::string_view text)
{
    Board b;
    std::istringstream in{std::string(text)};
    std::string word;
    int k = 0;
    while (in >> word) {
        if (k >= kCells)
            throw std::invalid_argument("more than 16 cells in board text");
        b.m_cells[static_cast<std::size_t>(k++)] = (word == ".") ? std::string() : word;
    }
    if (k != kCells)
        throw std::invalid_argument("fewer than 16 cells in board text");
    return b;
}

std::string Board::toString() const
{
    std::string out;
    for (const auto& cell : m_cells) {
        if (!out.empty())
            out += ' ';
        out += cell.empty() ? "." : cell;
    }
    return out;
}

namespace {

// Leading decimal digits as a number; no digits read as 0.
long LeadingNumber(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 1000000)
            break;   // far beyond any tile number; stops overflow on absurd texts
    }
    return value;
}

}  // namespace

bool IsBoardSolved(const Board& board, const PanelTags& tags)
{
    for (const std::string& tag : tags) {
        int v = 0;
        for (int candidate = 2; candidate <= kCells; ++candidate) {
            if (tag == std::to_string(candidate)) {
                v = candidate;
                break;
            }
        }
        if (v == 0)
            continue;
        const std::string& cell = board((v - 1) % kColumns + 1, (v - 1) / kColumns + 1);
        if (LeadingNumber(cell) != v)
            return false;
    }
    return true;
}

void fillSolved(Board& board, int columns, int rows)
{
    int next = 1;
    for (int row = 1; row <= rows; ++row)
        for (int column = 1; column <= columns; ++column)
            board(column, row) = std::to_string(next++);
}

}  // namespace board
