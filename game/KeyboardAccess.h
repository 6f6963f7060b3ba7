// Playing without a mouse: the Tab order, the picture buttons' keys and the game's shortcuts.
#pragma once

#include "Direction.h"

#include <optional>

class frmMain;

namespace keyboard {

// Makes the main window's picture buttons and thumbnails pressable tab stops (the tiles pressable,
// but no tab stops: the arrow keys move them), puts Tab through Menu, Start, End, the board
// (during a game), the picture options and the thumbnails, and adds the shortcuts: Ctrl+N and F2 start a game and Ctrl+Q quits
// (through the Start and End buttons' handler), F10 and the Menu key open the game menu (through
// the Menu button's). Call once, after the controls exist.
void setUpMainWindow(frmMain& w);

// The way an arrow key slides a tile (the one beside the gap on the side the arrow comes from);
// nothing for any other key.
std::optional<board::Direction> arrowDirection(int key);

}  // namespace keyboard
