// The 4 x 4 board: which tile lies in which cell, and the check that the picture is whole.
//
// Cells are named (column, row), each 1 to 4, column 1 at the left and row 1 at the top; the
// reading-order index of a cell is (row - 1) * 4 + (column - 1). Each cell holds the decimal
// text of a tile number, "1" to "16"; tile t belongs in the cell of reading-order index t - 1,
// and tile "1" (the top-left piece) is the gap. A cleared board holds empty texts.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace board {

inline constexpr int kColumns = 4;
inline constexpr int kRows = 4;
inline constexpr int kCells = kColumns * kRows;
inline constexpr std::int32_t kPitch = 1005;   // twips from one cell to the next, both ways
inline const std::string kGapTile = "1";         // the tile left out as the gap

class Board {
public:
    std::string& operator()(int column, int row) { return m_cells.at(index(column, row)); }
    const std::string& operator()(int column, int row) const { return m_cells.at(index(column, row)); }

    // Every cell becomes the empty text.
    void clear() { m_cells.fill(std::string()); }

    // Reads a board written as 16 whitespace-separated tile numbers in reading order
    // ("1 2 3 ... 16" is solved); "." stands for an empty cell. For tests and tools.
    static Board fromString(std::string_view text);
    std::string toString() const;

private:
    static std::size_t index(int column, int row);
    std::array<std::string, kCells> m_cells;
};

// The state the main window shares among its handlers: the board, the gap and the hidden tile.
struct BoardModel {
    Board board;
    std::int16_t gapCol = 0;
    std::int16_t gapRow = 0;
    std::int16_t hiddenPanel = 0;   // index of the tile control that shows tile "1"
};

// The Tag texts of the tile controls, by control index.
using PanelTags = std::array<std::string, kCells>;

// True when every tile "2" to "16" named by a control's tag lies in its own cell of `board`.
// Tags that are not "2" to "16" are never a reason for false; the first misplaced tile, in
// control order, decides. Board cells are read leniently from their leading digits (empty is 0).
bool IsBoardSolved(const Board& board, const PanelTags& tags);

// Fills the board in the solved order: "1" at (1, 1) through "16" at (4, 4).
void fillSolved(Board& board, int columns = kColumns, int rows = kRows);

}  // namespace board
