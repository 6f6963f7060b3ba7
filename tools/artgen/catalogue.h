// The list of every picture the generator makes: ids, pixel sizes, sources and lettering.
#pragma once

#include <QColor>
#include <QList>
#include <QSize>
#include <QString>

namespace artgen {

// How an entry is drawn.
enum class ArtKind {
    Title,   // the title oval with the game's name, on dark blue
    Button,  // an oval button with a one-word label
    Picture, // a built-in puzzle picture, drawn from one SVG file
    Ending,  // the tall ending strip, composed from the other entries
    Icon,    // the 16-colour window icon with its transparency mask
};

// The fixed colours every bitmap palette carries exactly.
inline constexpr QRgb kDarkBlue = 0xff000080;
inline constexpr QRgb kLightBlue = 0xff8080ff;
inline constexpr QRgb kWhite = 0xffffffff;
inline constexpr QRgb kBlack = 0xff000000;

struct ArtEntry {
    int id = 0;
    ArtKind kind = ArtKind::Picture;
    QSize size;
    QString source;   // SVG file name inside the art source folder; empty for composed entries
    QString label;    // lettering (button word, or picture name for pictures): drawn into the
                      // picture, so the same in every language. The pictures' names are Qel's
                      // strings 100 to 102 in Japanese, and drawn so on the ending strip; Qel
                      // also files them in English for players of other languages (CatalogueIds.h).
    bool hover = false; // buttons: the dark-lettered variant shown under the mouse

    // Output file name: bitmap_<id>.bmp, or icon_<id>.ico for the icon.
    QString fileName() const;
};

// Every entry, in id order with the icon last. The ids, sizes and labels are fixed by the
// game's resource catalogue; only the drawings behind them may change.
const QList<ArtEntry>& catalogue();

// The entry with the given id; nullptr when there is none.
const ArtEntry* findEntry(int id);

// The three built-in pictures, in the order the game numbers them.
QList<const ArtEntry*> pictures();

} // namespace artgen
