// The open-file dialog: title, "description|patterns|..." filter, default extension, file name.
//
// Contract
//   - Set the title, the filter, the default extension and the file name, then ShowOpen(): it
//     blocks until the player closes the dialog and returns the chosen path, or the empty text
//     when the player cancels (cancel is not an error). FileName() reads the same text afterwards.
//   - A chosen name that is blank (only spaces, or nothing, before the default extension that
//     the dialog may have added: "<folder>/   .bmp") counts as cancel: the empty text.
//   - The filter is the classic text of alternating descriptions and pattern lists separated by
//     "|", the patterns of one list separated by ";" ("Bitmaps (*.bmp)|*.bmp;*.dib|GIF|*.gif").
//     Each description is shown exactly as written; the first choice is selected. Matching is
//     not case-sensitive (PHOTO.JPG shows under *.jpg). See QtNameFilters.
//   - The default extension (".bmp" or "bmp") is added to a chosen name whose last part has no
//     "." at all, as the player expects when typing "cat" for "cat.bmp".
//   - A name that does not exist is returned like any other: the caller finds out when it opens
//     the file.
//   - The dialog opens in the folder of the last name this object returned; the first time in the
//     user's Pictures folder if it exists, else the home folder.
//   - The default answer is a modal, non-native QFileDialog. SetOpenFileAnswer replaces it for
//     the whole process (tests answer the dialog without showing it); the answer receives what
//     the dialog would have shown and returns what the player chose, the empty text for cancel.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace dialogs {

// Everything the dialog is shown with.
struct OpenFileRequest {
    QWidget* parent = nullptr;
    QString title;
    QStringList nameFilters;   // Qt's form, see QtNameFilters
    QString defaultExt;        // as given, e.g. ".bmp"
    QString fileName;          // the name filled in at the start
    QString directory;         // the folder shown at the start
};

// Returns the chosen path as the player gave it, or the empty text for cancel.
using OpenFileAnswer = std::function<QString(const OpenFileRequest& request)>;

// Replaces how every dialog is answered; an empty function restores the real dialog.
// Returns the answer in force before.
OpenFileAnswer SetOpenFileAnswer(OpenFileAnswer answer);

// The classic filter in Qt's form: one "description (pattern pattern)" per pair, the
// description unchanged, the patterns trimmed and joined by spaces, empty patterns dropped.
// A trailing description without patterns, and empty pairs, are dropped. Shown with
// QFileDialog::HideNameFilterDetails, only the descriptions appear.
QStringList QtNameFilters(const QString& classicFilter);

// `path` with the default extension added when its file name has no "." and is not blank.
QString WithDefaultExt(const QString& path, const QString& defaultExt);

class OpenFileDialog {
public:
    void setDialogTitle(const QString& title) { m_title = title; }
    void setFilter(const QString& filter) { m_filter = filter; }
    void setDefaultExt(const QString& ext) { m_defaultExt = ext; }
    void setFileName(const QString& name) { m_fileName = name; }

    const QString& DialogTitle() const { return m_title; }
    const QString& Filter() const { return m_filter; }
    const QString& DefaultExt() const { return m_defaultExt; }
    const QString& FileName() const { return m_fileName; }

    // Shows the dialog over `parent` (may be null) and returns the chosen path, or "" on cancel.
    QString ShowOpen(QWidget* parent = nullptr);

private:
    QString m_title;
    QString m_filter;
    QString m_defaultExt;
    QString m_fileName;
    QString m_lastFolder;
};

}  // namespace dialogs
