// What a screen reader says of the main window's controls.
#pragma once

#include "Board.h"
#include "ControlArray.h"

#include <array>

class ImageControl;
class QString;
class QWidget;

namespace accessibility {

// Names and descriptions of the picture buttons imgCmd(1 to 3), the thumbnails imgSentaku(1 to 3),
// the title and the board.
void describeMainControls(const controls::ControlArray<ImageControl*, 1, 3>& imgCmd,
                          const controls::ControlArray<ImageControl*, 1, 3>& imgSentaku, ImageControl& imgTitle,
                          QWidget& board);

// Tells a screen reader `text` at once (an alert from `source`): "Game Clear", a hint.
// Every text here is in the player's language (language::install), except the names that read
// the lettering of a picture (Menu, Start, End, the title), which stay as drawn.
void announce(QWidget& source, const QString& text);

// Each tile's name ("タイル5", in English "Tile 5"), its picture position and board position as the board now stands,
// and its cell in the board's grid; the tile of each control is the one `model` notes for it.
void describeTiles(const board::BoardModel& model, const std::array<ImageControl*, board::kCells>& imgPanel);

}  // namespace accessibility
