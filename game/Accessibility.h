// What a screen reader says of the main window's controls.
#pragma once

#include "Board.h"
#include "ControlArray.h"
#include "Direction.h"

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

// Has a screen reader speak `text` through the SpokenNote of `source`'s window, after the
// sentences it is still speaking. Every text here is in the player's language
// (language::install), except the names that read the lettering of a picture (Menu, Start, End,
// the title), which stay as drawn.
void announce(QWidget& source, const QString& text);
// Returns once the window's note has spoken all it was given (at once when no reader listens).
void waitUntilSpoken(QWidget& window);

// The sentences spoken during a game:
// a slide: the tile and the cell it now lies in, "7、2行3列" ("7, row 2, column 3");
QString slideSentence(int tile, board::Cell cell);
// the whole board row by row, the gap included: "1行目：3、空き、2、4。2行目：…"
// ("row 1: 3, gap, 2, 4; row 2: …");
QString boardReading(const board::Board& board);
// the clock: "タイム 00:01:05";
QString clockSentence(const QString& clock);
// a whole picture: the caption shown and the time, "Game Clear、タイム 00:01:05";
QString clearSentence(const QString& caption, const QString& clock);
// a hint: the tile to slide and the way it goes, "ヒント：7を左へ" ("Hint: slide 7 left").
QString hintSentence(int tile, board::Direction way);

// Each tile's name ("タイル5", in English "Tile 5"), its picture position and board position as the board now stands,
// and its cell in the board's grid; the tile of each control is the one `model` notes for it.
void describeTiles(const board::BoardModel& model, const std::array<ImageControl*, board::kCells>& imgPanel);

}  // namespace accessibility
