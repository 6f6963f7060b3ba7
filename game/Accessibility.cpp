// Screen-reader texts of the main window.
#include "Accessibility.h"

#include "ImageControl.h"

#include <QAccessible>
#include <QWidget>

namespace accessibility {

void describeMainControls(const controls::ControlArray<ImageControl*, 1, 3>& imgCmd,
                          const controls::ControlArray<ImageControl*, 1, 3>& imgSentaku, ImageControl& imgTitle,
                          QWidget& board)
{
    board.setAccessibleName(QStringLiteral("Board"));
    board.setAccessibleDescription(QStringLiteral("4 x 4 tiles; slide a tile beside the gap into it"));
    const char* commands[][2] = {{"Menu", "Opens the game menu"}, {"Start", "Starts a new game"}, {"End", "Quits the game"}};
    for (int i = 1; i <= 3; ++i) {
        imgCmd[i]->setAccessibleName(QLatin1String(commands[i - 1][0]));
        imgCmd[i]->setAccessibleDescription(QLatin1String(commands[i - 1][1]));
    }
    for (int n = 1; n <= 3; ++n) {
        imgSentaku[n]->setAccessibleName(QStringLiteral("Picture %1").arg(n));
        imgSentaku[n]->setAccessibleDescription(QStringLiteral("Chooses picture %1 for the next game").arg(n));
    }
    imgTitle.setAccessibleName(QStringLiteral("Tavorin"));
}

void describeTiles(const board::BoardModel& model, const std::array<ImageControl*, board::kCells>& imgPanel)
{
    for (int k = 0; k < board::kCells; ++k) {
        const int t = model.panelTile[k];
        if (t < 1)
            continue;
        const board::Cell cell = model.board.find(t).value_or(board::Cell{});
        ImageControl* panel = imgPanel[k];
        panel->setGridCell(cell.row - 1, cell.column - 1);
        panel->setAccessibleName(QStringLiteral("Tile %1").arg(t));
        panel->setAccessibleDescription(
            QStringLiteral("Piece from column %1, row %2 of the picture, now in column %3, row %4")
                .arg((t - 1) % board::kColumns + 1).arg((t - 1) / board::kColumns + 1).arg(cell.column).arg(cell.row));
    }
}

void announce(QWidget& source, const QString& text)
{
    source.setAccessibleDescription(text);
    QAccessibleEvent alert(&source, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

}  // namespace accessibility
