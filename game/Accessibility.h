// What a screen reader says of the main window's controls.
#pragma once

#include "Board.h"
#include "ControlArray.h"

#include <array>

class ImageControl;

namespace accessibility {

// Names and descriptions of the picture buttons imgCmd(1 to 3), the thumbnails imgSentaku(1 to 3)
// and the title.
void describeMainControls(const controls::ControlArray<ImageControl*, 1, 3>& imgCmd,
                          const controls::ControlArray<ImageControl*, 1, 3>& imgSentaku, ImageControl& imgTitle);

// Each tile's name ("Tile 5") and its picture position and board position as the board now stands.
void describeTiles(const board::Board& board, const std::array<ImageControl*, board::kCells>& imgPanel);

}  // namespace accessibility
