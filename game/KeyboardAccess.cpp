// The main window's keys.
#include "KeyboardAccess.h"

#include "ImageControl.h"
#include "TileGrid.h"
#include "frmMain.h"

#include <QKeySequence>
#include <QRadioButton>
#include <QShortcut>

namespace keyboard {

void setUpMainWindow(frmMain& w)
{
    for (ImageControl* button : w.imgCmd)
        button->setPressable(true);
    for (ImageControl* thumbnail : w.imgSentaku)
        thumbnail->setPressable(true);
    for (ImageControl* tile : w.imgPanel)
        tile->setPressable(true, false);

    w.picPuzzle->setFocusPolicy(Qt::TabFocus);
    QWidget* order[] = {&w, w.imgCmd[1], w.imgCmd[2], w.imgCmd[3], w.picPuzzle, w.optPic[1], w.optPic[2], w.optPic[3],
                        w.imgSentaku[1], w.imgSentaku[2], w.imgSentaku[3]};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    const auto shortcut = [&w](QKeySequence keys, int button) {
        QObject::connect(new QShortcut(keys, &w), &QShortcut::activated, &w, [&w, button] { w.imgCmd_Click(button); });
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_N), 2);
    shortcut(QKeySequence(Qt::Key_F2), 2);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), 3);
    shortcut(QKeySequence(Qt::Key_F10), 1);
    shortcut(QKeySequence(Qt::Key_Menu), 1);
}

std::optional<board::Direction> arrowDirection(int key)
{
    switch (key) {
    case Qt::Key_Left: return board::Direction::Left;
    case Qt::Key_Right: return board::Direction::Right;
    case Qt::Key_Up: return board::Direction::Up;
    case Qt::Key_Down: return board::Direction::Down;
    default: return std::nullopt;
    }
}

}  // namespace keyboard
