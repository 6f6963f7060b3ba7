// The tile controls following the board model.
#include "TileBoard.h"

#include "Accessibility.h"
#include "ImageControl.h"
#include "PictureClip.h"

TileBoard::TileBoard(board::BoardModel& model, const Panels& imgPanel, QWidget& picPuzzle)
    : m_model(model), m_panels(imgPanel), m_board(picPuzzle)
{
}

void TileBoard::deal(const picclip::PictureClip& pictures, board::RandomSource& random)
{
    m_model.board.clear();
    m_board.hide();
    const board::PanelLayout layout = board::ShuffleBoard(board::kCells, board::kColumns, board::kRows, m_model, random);
    for (int k = 0; k < board::kCells; ++k) {
        const board::PanelPlacement& p = layout[k];
        ImageControl* panel = m_panels[k];
        panel->MoveTwips(p.left, p.top);
        panel->setPicture(pictures.GraphicCell(p.pictureCell));
        panel->setVisible(p.visible);
        panel->setEnabled(p.enabled);
        panel->setTag(QString::number(p.tile));
    }
    accessibility::describeTiles(m_model, m_panels);
    m_board.show();
}

void TileBoard::shift(int panel, const board::SlideStepResult& step)
{
    ImageControl* control = m_panels[panel];
    control->MoveTwips(control->Left() + step.dx, control->Top() + step.dy);
    if (step.ended) {
        accessibility::describeTiles(m_model, m_panels);
        const int tile = m_model.panelTile[panel];
        accessibility::announce(m_board, accessibility::slideSentence(tile, m_model.board.find(tile).value_or(board::Cell{})));
    }
}

int TileBoard::panelToSlide(board::Direction direction) const
{
    const auto tile = board::tileToSlide(m_model, direction);
    return tile ? m_model.panelOf(*tile) : -1;
}

void TileBoard::revealGapTile()
{
    m_panels[m_model.hiddenPanel]->setVisible(true);
    m_panels[m_model.hiddenPanel]->setEnabled(true);
}
