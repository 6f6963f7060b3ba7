// The 4 x 4 board: which tile lies in which cell, which tile control shows which tile, and the
// check that the picture is whole.
//
// Cells are named (column, row), each 1 to 4, column 1 at the left and row 1 at the top; the
// reading-order index of a cell is (row - 1) * 4 + (column - 1). Each cell holds a tile number,
// 1 to 16; tile t belongs in the cell of reading-order index t - 1, and tile 1 (the top-left
// piece) is the gap. A cleared board holds kNoTile in every cell.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace board {

inline constexpr int kColumns = 4;
inline constexpr int kRows = 4;
inline constexpr int kCells = kColumns * kRows;
inline constexpr std::int32_t kPitch = 1005;   // twips from one cell to the next, both ways
inline constexpr int kGapTile = 1;             // the tile left out as the gap
inline constexpr int kNoTile = 0;              // a cleared cell; a control before the first game

struct Cell {
    int column = 0;
    int row = 0;
};

class Board {
public:
    int& operator()(int column, int row) { return m_cells.at(index(column, row)); }
    int operator()(int column, int row) const { return m_cells.at(index(column, row)); }

    // Every cell becomes kNoTile.
    void clear() { m_cells.fill(kNoTile); }

    // The cell that holds `tile`, or nothing when none does.
    std::optional<Cell> find(int tile) const;

    bool operator==(const Board&) const = default;

    // Reads a board written as 16 whitespace-separated tile numbers in reading order
    // ("1 2 3 ... 16" is solved); "." stands for an empty cell. For tests and tools.
    static Board fromString(std::string_view text);
    std::string toString() const;

private:
    static std::size_t index(int column, int row);
    std::array<int, kCells> m_cells{};
};

// The state the main window shares among its handlers: the board, the gap, and the tile each
// control shows (the controls' Tag texts are written from panelTile, never read back).
struct BoardModel {
    Board board;
    std::int16_t gapCol = 0;
    std::int16_t gapRow = 0;
    std::int16_t hiddenPanel = 0;              // index of the tile control that shows tile 1
    std::array<int, kCells> panelTile{};       // the tile that control k shows, from the last shuffle

    // The index of the control that shows `tile`, or -1.
    int panelOf(int tile) const;
};

// True when every tile 2 to 16 lies in its own cell (the gap tile is then in cell (1, 1)).
bool IsBoardSolved(const Board& board);

// Fills the board in the solved order: 1 at (1, 1) through 16 at (4, 4).
void fillSolved(Board& board, int columns = kColumns, int rows = kRows);

}  // namespace board
