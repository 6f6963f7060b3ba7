// Board checks, parsing and slides for the solver's sixteen-number boards.
#include "Tiles.h"

#include <charconv>

namespace solver {

std::string_view directionName(Direction direction)
{
    switch (direction) {
    case Direction::Up: return "up";
    case Direction::Down: return "down";
    case Direction::Left: return "left";
    case Direction::Right: return "right";
    }
    return "?";
}

std::string describeMove(const Move& move)
{
    return std::to_string(move.tile) + " " + std::string(directionName(move.direction));
}

BoardProblem checkBoard(const Tiles& tiles)
{
    unsigned seen = 0;
    for (std::uint8_t v : tiles) {
        if (v >= kCellCount || (seen & (1u << v)) != 0)
            return BoardProblem::NotAPermutation;
        seen |= 1u << v;
    }
    int inversions = 0;
    for (int i = 0; i < kCellCount; ++i)
        for (int j = i + 1; j < kCellCount; ++j)
            inversions += tiles[static_cast<std::size_t>(i)] > tiles[static_cast<std::size_t>(j)];
    const int gap = gapCell(tiles);
    const int gapDistance = gap / kSide + gap % kSide;
    return (inversions - gapDistance) % 2 == 0 ? BoardProblem::None : BoardProblem::WrongParity;
}

std::string problemText(BoardProblem problem)
{
    switch (problem) {
    case BoardProblem::None: return {};
    case BoardProblem::NotAPermutation:
        return "the board must hold each of the numbers 0 to 15 exactly once";
    case BoardProblem::WrongParity:
        return "the board cannot be solved: two tiles are swapped (wrong parity)";
    }
    return "unknown problem";
}

std::optional<Tiles> parseTiles(std::string_view text, std::string& error)
{
    Tiles tiles{};
    int count = 0;
    std::size_t i = 0;
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
    while (true) {
        while (i < text.size() && isSpace(text[i]))
            ++i;
        if (i == text.size())
            break;
        std::size_t end = i;
        while (end < text.size() && !isSpace(text[end]))
            ++end;
        const std::string_view word = text.substr(i, end - i);
        unsigned value = 0;
        const auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (ec != std::errc() || ptr != word.data() + word.size()) {
            error.assign(1, '"');
            error.append(word).append("\" is not a number");
            return std::nullopt;
        }
        if (count == kCellCount) {
            error = "more than 16 numbers";
            return std::nullopt;
        }
        if (value >= kCellCount) {
            error = std::to_string(value) + " is out of range (0 to 15)";
            return std::nullopt;
        }
        tiles[static_cast<std::size_t>(count++)] = static_cast<std::uint8_t>(value);
        i = end;
    }
    if (count != kCellCount) {
        error = "expected 16 numbers, found " + std::to_string(count);
        return std::nullopt;
    }
    error.clear();
    return tiles;
}

std::string formatTiles(const Tiles& tiles)
{
    std::string out;
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        if (i != 0)
            out += ' ';
        out += std::to_string(tiles[i]);
    }
    return out;
}

int gapCell(const Tiles& tiles)
{
    for (int i = 0; i < kCellCount; ++i)
        if (tiles[static_cast<std::size_t>(i)] == 0)
            return i;
    return -1;
}

Move moveFromCells(const Tiles& tiles, int cell, int gap)
{
    Direction d = Direction::Up;
    if (gap == cell - kSide)
        d = Direction::Up;
    else if (gap == cell + kSide)
        d = Direction::Down;
    else if (gap == cell - 1)
        d = Direction::Left;
    else
        d = Direction::Right;
    return Move{tiles[static_cast<std::size_t>(cell)], d};
}

bool applyMove(Tiles& tiles, const Move& move)
{
    if (move.tile == 0 || move.tile >= kCellCount)
        return false;
    int cell = -1;
    for (int i = 0; i < kCellCount; ++i)
        if (tiles[static_cast<std::size_t>(i)] == move.tile)
            cell = i;
    if (cell < 0)
        return false;
    const int row = cell / kSide;
    const int column = cell % kSide;
    int target = -1;
    switch (move.direction) {
    case Direction::Up: target = row > 0 ? cell - kSide : -1; break;
    case Direction::Down: target = row < kSide - 1 ? cell + kSide : -1; break;
    case Direction::Left: target = column > 0 ? cell - 1 : -1; break;
    case Direction::Right: target = column < kSide - 1 ? cell + 1 : -1; break;
    }
    if (target < 0 || tiles[static_cast<std::size_t>(target)] != 0)
        return false;
    tiles[static_cast<std::size_t>(target)] = move.tile;
    tiles[static_cast<std::size_t>(cell)] = 0;
    return true;
}

Tiles transposeTiles(const Tiles& tiles)
{
    Tiles out{};
    for (int i = 0; i < kCellCount; ++i)
        out[static_cast<std::size_t>(transposeCell(i))] =
            static_cast<std::uint8_t>(transposeCell(tiles[static_cast<std::size_t>(i)]));
    return out;
}

}  // namespace solver
