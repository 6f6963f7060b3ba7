// The tiles on the screen: the sixteen tile controls imgPanel laid out, moved and described as the
// board model stands.
//
// The model is the authority on which tile lies where and which control shows it; each control's
// Tag is written from it (the number of the tile it shows) and never read back.
#pragma once

#include "Board.h"
#include "Move.h"
#include "Shuffle.h"

#include <array>

class ImageControl;
class QWidget;
namespace picclip {
class PictureClip;
}

class TileBoard {
public:
    using Panels = std::array<ImageControl*, board::kCells>;

    // The window's board model, its tile controls and the board control `picPuzzle` that holds
    // them; all must outlive the room.
    TileBoard(board::BoardModel& model, const Panels& imgPanel, QWidget& picPuzzle);

    // A new deal: the board is cleared, then shuffled with `random` while picPuzzle is hidden;
    // every control takes its place, its cell of `pictures` and its tile's number as Tag.
    void deal(const picclip::PictureClip& pictures, board::RandomSource& random);

    // One tick of a slide: control `panel` moves by the step; once the slide has ended, what a
    // screen reader says of the tiles follows the board, and it speaks the tile's new place.
    void shift(int panel, const board::SlideStepResult& step);

    // The control whose tile slides into the gap when a tile moves `direction`, or -1 when the
    // gap lies on that edge.
    int panelToSlide(board::Direction direction) const;

    // The picture is whole: the gap tile's control is shown and takes clicks again.
    void revealGapTile();

private:
    board::BoardModel& m_model;
    const Panels& m_panels;
    QWidget& m_board;
};
