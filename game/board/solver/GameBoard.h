// The game's board model in the solver's terms, for hints during play.
#pragma once

#include "Board.h"
#include "Tiles.h"

#include <optional>

namespace solver {

// The game numbers tiles 1 to 16 with 1 the gap; the solver writes tile t as t - 1. Nothing when
// some cell holds no tile (a cleared board, for one). The result may still be an unsolvable
// arrangement: see checkBoard.
std::optional<Tiles> tilesFromBoard(const board::Board& board);

// The game's number (2 to 16) of the tile a move slides.
inline int gameTile(const Move& move)
{
    return move.tile + 1;
}

}  // namespace solver
