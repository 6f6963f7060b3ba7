// The shuffle: random legal moves of the gap, then the layout of the sixteen tile controls.
#pragma once

#include "Board.h"

#include <array>
#include <cstdint>
#include <random>

namespace board {

// Uniform draws in [0, 1). The shuffle reseeds it at the start of every scrambling pass.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void reseed() = 0;
    virtual double next() = 0;
};

// The game's source: a Mersenne Twister reseeded from the clock on every pass.
class ClockSeededRandom final : public RandomSource {
public:
    void reseed() override;
    double next() override;

private:
    std::mt19937 m_engine{0};
    std::uniform_real_distribution<double> m_uniform{0.0, 1.0};
};

// Where one tile control goes after a shuffle. Positions are twips inside the board.
struct PanelPlacement {
    std::int32_t left = 0;
    std::int32_t top = 0;
    bool visible = true;
    bool enabled = true;
    int tile = 0;         // the tile number it shows, 1 to 16 (its Tag's text)
    int pictureCell = 0;  // cell of the cut picture it shows: tile number - 1
};
using PanelLayout = std::array<PanelPlacement, kCells>;

inline constexpr int kShuffleAttempts = 300;

// One attempt: direction d (0 right, 1 left, 2 up, 3 down, seen from the gap) slides the
// neighbouring tile into the gap. Returns false, changing nothing, when the neighbour is off
// the board.
bool moveGap(BoardModel& model, int direction, int columns = kColumns, int rows = kRows);

// Draws kShuffleAttempts directions from `random` (d = floor(4 x)), each spent even when it
// leads off the board. Returns the number of slides made.
int scramble(BoardModel& model, RandomSource& random, int columns = kColumns, int rows = kRows);

// Lays out the controls for the board in `model`: control k stands in the cell of reading-order
// index k and shows the tile lying there, which model.panelTile notes; the gap tile's control
// waits hidden and disabled at (0, 0) and its index becomes model.hiddenPanel.
PanelLayout layOut(BoardModel& model, int panelCount = kCells);

// Fills the board solved with the gap at (1, 1), then reseeds, scrambles and lays out until the
// result is not solved (a solved result is scrambled again from where it stands).
PanelLayout ShuffleBoard(int panelCount, int columns, int rows, BoardModel& model, RandomSource& random);

}  // namespace board
