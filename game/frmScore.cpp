// The score window's design, load, buttons and hover handling.
#include "frmScore.h"

#include "CatalogueIds.h"
#include "Colors.h"
#include "DialogFrame.h"
#include "Fonts.h"
#include "ImageControl.h"
#include "MessageBox.h"
#include "RecordKeys.h"
#include "ScreenGeometry.h"
#include "modCommon.h"

#include <QIcon>
#include <QLabel>
#include <QPixmap>

namespace ids = qel::ids;

using screen::TwipsRect;

namespace {
constexpr std::int32_t kButtonPictures[] = {ids::bmp::kClearButton, ids::bmp::kOkButton};   // imgCmd(0), imgCmd(1)
// The holder of an empty record: written to the store as it stands, in every language, and
// shown in the player's language.
const char* const kNoName = QT_TRANSLATE_NOOP("frmScore", "名前なし");
const QString kNoTime = QStringLiteral("01:00:00");
}  // namespace

frmScore::frmScore(QWidget* owner) : ButtonClosedDialog(owner, dialogframe::kFixedDialog), timCmd(this, 0, false)
{
    dialogframe::Fix(*this, tr("スコア"), 2472, 1512);
    // The stored name and time are shown exactly as read, never as markup.
    lblName = new QLabel(this);
    lblName->setTextFormat(Qt::PlainText);
    lblName->setObjectName(QStringLiteral("lblName"));
    lblName->setGeometry(TwipsRect(120, 240, 2280, 252));
    lblName->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblName->setFont(fonts::make(fonts::kGothic, 10.8, false));
    lblTime = new QLabel(this);
    lblTime->setTextFormat(Qt::PlainText);
    lblTime->setObjectName(QStringLiteral("lblTime"));
    lblTime->setGeometry(TwipsRect(120, 600, 2256, 252));
    lblTime->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblTime->setFont(fonts::make(fonts::kGothic, 10.8, true));
    const std::int32_t lefts[] = {240, 1440};
    for (int i = 0; i < 2; ++i) {
        imgCmd[i] = new ImageControl(this);
        imgCmd[i]->setPressable(true);
        imgCmd[i]->setObjectName(QStringLiteral("imgCmd%1").arg(i));
        imgCmd[i]->setTwipsGeometry(lefts[i], 1080, 804, 396);
        connect(imgCmd[i], &ImageControl::Click, this, [this, i] { imgCmd_Click(i); });
    }
    //: The lettering of the Clear button's picture, kept as drawn.
    imgCmd[0]->setAccessibleName(tr("Clear"));
    imgCmd[0]->setAccessibleDescription(tr("確認のうえ、ベストタイムを消します"));
    //: The lettering of the OK button's picture, kept as drawn.
    imgCmd[1]->setAccessibleName(tr("OK"));
    imgCmd[1]->setAccessibleDescription(tr("スコアを閉じます"));
    connect(&timCmd, &WindowTimer::Timer, this, &frmScore::timCmd_Timer);

    timCmd.setEnabled(true);
    timCmd.setInterval(100);
    setWindowIcon(QIcon(QPixmap::fromImage(modCommon::GetResPic(ids::icon::kWindow, modCommon::kPictureIcon))));
    imgCmd[0]->setPicture(modCommon::GetResPic(kButtonPictures[0], modCommon::kPictureBitmap));
    imgCmd[1]->setPicture(modCommon::GetResPic(kButtonPictures[1], modCommon::kPictureBitmap));
    controls::SetBackColor(this, modCommon::colorFromText(modCommon::GetResStr(ids::str::kRecordBackColor)));
    controls::SetForeColor(lblName, modCommon::colorFromText(modCommon::GetResStr(ids::str::kRecordForeColor)));
    controls::SetForeColor(lblTime, modCommon::colorFromText(modCommon::GetResStr(ids::str::kRecordForeColor)));
    const QString time = modCommon::ReadSetting(recordKeys::kApplication, recordKeys::kSection, recordKeys::kTime);
    const QString name = modCommon::ReadSetting(recordKeys::kApplication, recordKeys::kSection, recordKeys::kName);
    const bool empty = name.isEmpty() || time.isEmpty();
    lblName->setText(empty || name == QString::fromUtf8(kNoName) ? tr(kNoName) : name);
    lblTime->setText(empty ? kNoTime : time);
    // A screen reader names the window with its row, "name, time", and starts on OK.
    setAccessibleDescription(tr("%1、%2").arg(lblName->text(), lblTime->text()));
    imgCmd[1]->setFocus();
}

void frmScore::imgCmd_Click(int index)
{
    if (index == 0) {
        const auto answer = msgbox::Show(this, {tr("スコアをクリアしてよろしいですか？"), tr("確認"),
                                                QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes});
        if (answer == QMessageBox::Yes) {
            modCommon::WriteSetting(recordKeys::kApplication, recordKeys::kSection, recordKeys::kTime, kNoTime);
            modCommon::WriteSetting(recordKeys::kApplication, recordKeys::kSection, recordKeys::kName, QString::fromUtf8(kNoName));
        }
    }
    accept();
}

void frmScore::timCmd_Timer()
{
    const screen::CursorRead oneRead;   // every button is tested against one pointer position
    for (int i = 0; i < 2; ++i)
        modCommon::showButtonPicture(*imgCmd[i], kButtonPictures[i]);
}
