// Screen-reader texts of the main window.
#include "Accessibility.h"

#include "ImageControl.h"
#include "SpokenNote.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QStringList>
#include <QWidget>

namespace accessibility {

void describeMainControls(const controls::ControlArray<ImageControl*, 1, 3>& imgCmd,
                          const controls::ControlArray<ImageControl*, 1, 3>& imgSentaku, ImageControl& imgTitle,
                          QWidget& board)
{
    board.setAccessibleName(QCoreApplication::translate("accessibility", "盤面"));
    board.setAccessibleDescription(QCoreApplication::translate("accessibility", "4 x 4のタイル。空きの隣のタイルを空きへ動かします"));
    // The buttons' names are the lettering of their pictures, kept as drawn in every language.
    const char* commands[][2] = {
        //: The lettering of the Menu button's picture, kept as drawn.
        {QT_TRANSLATE_NOOP("accessibility", "Menu"), QT_TRANSLATE_NOOP("accessibility", "ゲームのメニューを開きます")},
        //: The lettering of the Start button's picture, kept as drawn.
        {QT_TRANSLATE_NOOP("accessibility", "Start"), QT_TRANSLATE_NOOP("accessibility", "新しいゲームを始めます")},
        //: The lettering of the End button's picture, kept as drawn.
        {QT_TRANSLATE_NOOP("accessibility", "End"), QT_TRANSLATE_NOOP("accessibility", "ゲームを終わります")},
    };
    for (int i = 1; i <= 3; ++i) {
        imgCmd[i]->setAccessibleName(QCoreApplication::translate("accessibility", commands[i - 1][0]));
        imgCmd[i]->setAccessibleDescription(QCoreApplication::translate("accessibility", commands[i - 1][1]));
    }
    for (int n = 1; n <= 3; ++n) {
        imgSentaku[n]->setAccessibleName(QCoreApplication::translate("accessibility", "画像%1").arg(n));
        imgSentaku[n]->setAccessibleDescription(
            QCoreApplication::translate("accessibility", "次のゲームの画像を画像%1にします").arg(n));
    }
    //: The lettering of the title's picture, kept as drawn.
    imgTitle.setAccessibleName(QCoreApplication::translate("accessibility", "Tavorin"));
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
        panel->setAccessibleName(QCoreApplication::translate("accessibility", "タイル%1").arg(t));
        panel->setAccessibleDescription(
            QCoreApplication::translate("accessibility", "画像の%1列%2行目のピース、いまは%3列%4行目")
                .arg((t - 1) % board::kColumns + 1).arg((t - 1) / board::kColumns + 1).arg(cell.column).arg(cell.row));
    }
}

void announce(QWidget& source, const QString& text)
{
    if (SpokenNote* note = source.window()->findChild<SpokenNote*>())
        note->say(text);
}

void waitUntilSpoken(QWidget& window)
{
    if (SpokenNote* note = window.window()->findChild<SpokenNote*>())
        note->waitUntilQuiet();
}

QString slideSentence(int tile, board::Cell cell)
{
    return QCoreApplication::translate("accessibility", "%1、%2行%3列").arg(tile).arg(cell.row).arg(cell.column);
}

QString boardReading(const board::Board& board)
{
    QStringList rows;
    for (int row = 1; row <= board::kRows; ++row) {
        QStringList cells;
        for (int column = 1; column <= board::kColumns; ++column) {
            const int tile = board(column, row);
            cells << (tile == board::kGapTile ? QCoreApplication::translate("accessibility", "空き") : QString::number(tile));
        }
        //: Between the cells of a row read aloud.
        const QString between = QCoreApplication::translate("accessibility", "、");
        rows << QCoreApplication::translate("accessibility", "%1行目：%2").arg(row).arg(cells.join(between));
    }
    //: Between the rows of the board read aloud.
    return rows.join(QCoreApplication::translate("accessibility", "。"));
}

QString clockSentence(const QString& clock)
{
    return QCoreApplication::translate("accessibility", "タイム %1").arg(clock);
}

QString clearSentence(const QString& caption, const QString& clock)
{
    return QCoreApplication::translate("accessibility", "%1、タイム %2").arg(caption, clock);
}

QString hintSentence(int tile, board::Direction way)
{
    const char* ways[] = {QT_TRANSLATE_NOOP("accessibility", "右へ"), QT_TRANSLATE_NOOP("accessibility", "左へ"),
                          QT_TRANSLATE_NOOP("accessibility", "上へ"), QT_TRANSLATE_NOOP("accessibility", "下へ")};
    return QCoreApplication::translate("accessibility", "ヒント：%1を%2")
        .arg(tile)
        .arg(QCoreApplication::translate("accessibility", ways[static_cast<int>(way)]));
}

}  // namespace accessibility
