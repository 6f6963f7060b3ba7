// Picture import: the open-file dialog set up for pictures, the load, and the message that sends
// the player back to the dialog. The main window's import handler runs them in its retry loop.
#pragma once

#include <QImage>
#include <QString>
#include <optional>

class QWidget;
namespace dialogs {
class OpenFileDialog;
}

namespace pictureImport {

// Sets the dialog up ("画像取込", bitmaps, GIF and JPEG files, default extension ".bmp", no file
// name) and shows it over `parent`. Returns the name as the dialog gave it, untrimmed, or nothing
// when the player cancelled (an empty name or one of spaces).
std::optional<QString> chooseFile(dialogs::OpenFileDialog& dialog, QWidget* parent);

// The picture in `path`, whole. Raises errors::AppError when it is no picture, or one smaller
// than the board's grid, which would give empty tiles.
QImage load(const QString& path);

// Tells the player the file was not taken (a warning with OK), before the dialog comes again.
void showNotRecognised(QWidget* parent);

}  // namespace pictureImport
