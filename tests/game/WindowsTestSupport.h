// What the window tests share: a started main window, pictures made on the spot, the dialog and
// message box answered by the test, and a close asked of the window manager.
#pragma once

#include "MediaRecorder.h"
#include "MessageBox.h"
#include "OpenFileDialog.h"
#include "QelForTests.h"
#include "StartedGame.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <set>

namespace windows_test {

// ---- Pictures ----

// The colour of sixteenth k (0 to 15, reading order) of every test picture: far apart in hue.
QColor CellColour(int k);
// The colour of the mark in the top-left quarter of every sixteenth of a marked picture.
inline constexpr QRgb kMarkColour = 0xff000000;

// A width x height picture whose sixteenths (cut as the 4 x 4 grid cuts them: floor(width / 4)
// by floor(height / 4)) are flat CellColour(k). With `marked`, the top-left quarter of every
// sixteenth is kMarkColour, so a stretched, cropped or padded drawing can be told apart.
QImage Sixteenths(int width, int height, bool marked = false);

// The bytes of `image` in `format` ("bmp", "jpg", "png") or "gif" (through libgif).
QByteArray Encode(const QImage& image, const char* format);

// Writes `bytes` to `path`; fails the process if it cannot.
void WriteFile(const QString& path, const QByteArray& bytes);

// The largest difference of one colour channel between `actual` and the part `cell` of
// `source`, scaled to the same size; pixels within `margin` of the edge are left out.
// -1 when the sizes differ.
int CellDifference(const QImage& actual, const QImage& source, const QRect& cell, int margin);

// An empty text when every tile of `w`'s board shows the sixteenth of `source` that its tile
// number names (cut in floor(width / 4) x floor(height / 4) cells), within `tolerance`; else
// what the first tile that does not shows.
QString TilesMismatch(const frmMain& w, const QImage& source, int tolerance);

// ---- The window manager ----

// Asks for `window` to be closed as the window manager does for its close box, its window
// menu's Close and Alt+F4: a close event that the window system delivers, spontaneous.
void CloseByWindowManager(QWidget& window);

// ---- The player's answers ----

// Answers the open-file dialog and the message box in place of the player. Each dialog takes
// the next of `answers` (the empty text, cancel, once they run out); every message box is
// answered OK. `log` holds "dialog" and "box" in the order they came.
class PlayerScript {
public:
    PlayerScript();
    ~PlayerScript();
    PlayerScript(const PlayerScript&) = delete;
    PlayerScript& operator=(const PlayerScript&) = delete;

    QStringList answers;
    // When set, the dialogs after the list has run out are answered with this instead of cancel,
    // up to dialog number repeatCount - 1; dialog number repeatCount is cancelled.
    QString repeatAnswer;
    int repeatCount = 0;

    QList<dialogs::OpenFileRequest> requests;
    QList<msgbox::Request> boxes;
    QStringList log;
    std::set<const void*> dialogFrames;   // the stack frames the dialog was answered from
};

// The three texts of the import filter in Qt's form, as the dialog must show them.
QStringList ImportFilters();

// ---- The main window ----

// A main window after start-up, with a seeded shuffle and a best time no game beats.
inline std::unique_ptr<StartedGame> StartWindowsGame()
{
    StoreUnbeatableRecord();
    return std::make_unique<StartedGame>(23);
}

}  // namespace windows_test
