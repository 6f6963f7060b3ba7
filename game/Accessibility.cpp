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

void describeTiles(const board::Board& board, const std::array<ImageControl*, board::kCells>& imgPanel)
{
    for (ImageControl* panel : imgPanel) {
        const int t = panel->Tag().toInt();
        if (t < 1)
            continue;
        int column = 0;
        int row = 0;
        for (int c = 1; c <= board::kColumns; ++c)
            for (int r = 1; r <= board::kRows; ++r)
                if (board(c, r) == panel->Tag().toStdString()) {
                    column = c;
                    row = r;
                }
        panel->setGridCell(row - 1, column - 1);
        panel->setAccessibleName(QStringLiteral("Tile %1").arg(t));
        panel->setAccessibleDescription(
            QStringLiteral("Piece from column %1, row %2 of the picture, now in column %3, row %4")
                .arg((t - 1) % board::kColumns + 1).arg((t - 1) / board::kColumns + 1).arg(column).arg(row));
    }
}

void announce(QWidget& source, const QString& text)
{
    source.setAccessibleDescription(text);
    QAccessibleEvent alert(&source, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

}  // namespace accessibility
