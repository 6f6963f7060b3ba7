// Picture import's dialog, load and message.
#include "PictureImport.h"

#include "AppError.h"
#include "Board.h"
#include "MessageBox.h"
#include "OpenFileDialog.h"
#include "PictureFile.h"

#include <QCoreApplication>

namespace pictureImport {

std::optional<QString> chooseFile(dialogs::OpenFileDialog& dialog, QWidget* parent)
{
    dialog.setDialogTitle(QCoreApplication::translate("pictureImport", "画像取込"));
    // The file types' descriptions are the player's to read; their patterns are not translated.
    dialog.setFilter(QCoreApplication::translate("pictureImport", "ﾋﾞｯﾄﾏｯﾌﾟ(*.bmp,*.dib)") + QStringLiteral("|*.bmp;*.dib|")
                     + QCoreApplication::translate("pictureImport", "GIFﾌｧｲﾙ(*.gif)") + QStringLiteral("|*.gif|")
                     + QCoreApplication::translate("pictureImport", "JPEGﾌｧｲﾙ(*.jpg)") + QStringLiteral("|*.jpg"));
    dialog.setDefaultExt(QStringLiteral(".bmp"));
    dialog.setFileName(QString());
    const QString chosen = dialog.ShowOpen(parent);
    if (chosen.trimmed().isEmpty())
        return std::nullopt;
    return chosen;
}

QImage load(const QString& path)
{
    QImage loaded = picture::LoadPicture(path);
    if (loaded.width() < board::kColumns || loaded.height() < board::kRows)
        throw errors::AppError(errors::kInvalidPicture, "Invalid picture: smaller than the board's grid");
    return loaded;
}

void showNotRecognised(QWidget* parent)
{
    msgbox::Show(parent,
                 {QCoreApplication::translate("pictureImport", "この画像ファイルは認識できません。\r\nもう一度画像ファイルを指定してください。"),
                  QCoreApplication::translate("pictureImport", "画像取込エラー"), QMessageBox::Warning, QMessageBox::Ok,
                  QMessageBox::Ok});
}

}  // namespace pictureImport
