// Scrambling the board by random gap moves and laying the tiles out.
#include "Shuffle.h"

#include <chrono>

namespace board {

void ClockSeededRandom::reseed()
{
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    m_engine.seed(static_cast<std::mt19937::result_type>(now ^ (now >> 32)));
    m_uniform.reset();
}

double ClockSeededRandom::next()
{
    return m_uniform(m_engine);
}

bool moveGap(BoardModel& model, int direction, int columns, int rows)
{
    int col = model.gapCol;
    int row = model.gapRow;
    switch (direction) {
    case 0: ++col; break;
    case 1: --col; break;
    case 2: --row; break;
    case 3: ++row; break;
    default: return false;
    }
    if (col < 1 || col > columns || row < 1 || row > rows)
        return false;
    model.board(model.gapCol, model.gapRow) = model.board(col, row);
    model.board(col, row) = kGapTile;
    model.gapCol = static_cast<std::int16_t>(col);
    model.gapRow = static_cast<std::int16_t>(row);
    return true;
}

int scramble(BoardModel& model, RandomSource& random, int columns, int rows)
{
    int slides = 0;
    for (int attempt = 0; attempt < kShuffleAttempts; ++attempt) {
        const int direction = static_cast<int>(4.0 * random.next());
        if (moveGap(model, direction, columns, rows))
            ++slides;
    }
    return slides;
}

PanelLayout layOut(BoardModel& model, int panelCount)
{
    PanelLayout layout;
    for (int k = 0; k < panelCount && k < kCells; ++k) {
        const int t = model.board(k % kColumns + 1, k / kColumns + 1);
        PanelPlacement& p = layout[static_cast<std::size_t>(k)];
        p.left = (k % kColumns) * kPitch;
        p.top = (k / kColumns) * kPitch;
        p.pictureCell = t - 1;
        if (t == 1) {
            p.left = 0;
            p.top = 0;
            p.visible = false;
            p.enabled = false;
            model.hiddenPanel = static_cast<std::int16_t>(k);
        } else {
            p.visible = true;
            p.enabled = true;
        }
        p.tile = t;
        model.panelTile[static_cast<std::size_t>(k)] = t;
    }
    return layout;
}

PanelLayout ShuffleBoard(int panelCount, int columns, int rows, BoardModel& model, RandomSource& random)
{
    model.gapCol = 1;
    model.gapRow = 1;
    fillSolved(model.board, columns, rows);
    for (;;) {
        random.reseed();
        scramble(model, random, columns, rows);
        PanelLayout layout = layOut(model, panelCount);
        if (!IsBoardSolved(model.board))
            return layout;
    }
}

}  // namespace board
