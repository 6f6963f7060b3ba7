// The name-entry window's design, load, OK button and hover handling.
#include "frmScrName.h"

#include "CatalogueIds.h"
#include "Colors.h"
#include "DialogFrame.h"
#include "Fonts.h"
#include "ImageControl.h"
#include "MessageBox.h"
#include "RecordKeys.h"
#include "modCommon.h"

#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

namespace ids = qel::ids;

using screen::TwipsRect;

namespace {
}

QString trimSpaces(const QString& text)
{
    auto isSpace = [](QChar c) { return c == QLatin1Char(' ') || c == QChar(0x3000); };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

frmScrName::frmScrName(const QLabel& clock, QWidget* owner)
    : ButtonClosedDialog(owner, dialogframe::kFixedDialog), timCmd(this, 0, false), m_clock(clock)
{
    dialogframe::Fix(*this, tr("記録"), 3060, 1068);
    const QFont font = fonts::make(fonts::kGothic, 10.2, false);
    lblName = new QLabel(tr("お名前"), this);
    lblName->setTextFormat(Qt::PlainText);
    lblName->setObjectName(QStringLiteral("lblName"));
    lblName->setGeometry(TwipsRect(120, 288, 732, 252));
    lblName->setFont(font);
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setGeometry(TwipsRect(960, 240, 1812, 300));
    txtName->setMaxLength(10);
    txtName->setFont(font);
    txtName->setFocus();
    imgCmd = new ImageControl(this);
    imgCmd->setPressable(true);
    lblName->setBuddy(txtName);   // a screen reader reads the name box as labelled by "お名前"
    imgCmd->setObjectName(QStringLiteral("imgCmd"));
    imgCmd->setTwipsGeometry(1044, 600, 804, 396);
    connect(imgCmd, &ImageControl::Click, this, &frmScrName::imgCmd_Click);
    connect(txtName, &QLineEdit::returnPressed, this, &frmScrName::imgCmd_Click);   // Enter in the box answers OK
    //: The lettering of the OK button's picture, kept as drawn.
    imgCmd->setAccessibleName(tr("OK"));
    imgCmd->setAccessibleDescription(tr("この名前でベストタイムを記録します"));
    txtName->setAccessibleName(tr("お名前"));
    connect(&timCmd, &WindowTimer::Timer, this, &frmScrName::timCmd_Timer);

    timCmd.setEnabled(true);
    timCmd.setInterval(100);
    setWindowIcon(QIcon(QPixmap::fromImage(modCommon::GetResPic(ids::icon::kWindow, modCommon::kPictureIcon))));
    imgCmd->setPicture(modCommon::GetResPic(ids::bmp::kOkButton, modCommon::kPictureBitmap));
    controls::SetBackColor(this, modCommon::colorFromText(modCommon::GetResStr(ids::str::kRecordBackColor)));
    controls::SetForeColor(lblName, modCommon::colorFromText(modCommon::GetResStr(ids::str::kRecordForeColor)));
}

void frmScrName::imgCmd_Click()
{
    if (trimSpaces(txtName->text()).isEmpty()) {
        msgbox::Show(this, {tr("名前を入力してください。"), tr("ハイスコア"),
                            QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok});
        txtName->setFocus();
        return;
    }
    modCommon::WriteSetting(recordKeys::kApplication, recordKeys::kSection, recordKeys::kName, txtName->text());
    modCommon::WriteSetting(recordKeys::kApplication, recordKeys::kSection, recordKeys::kTime, m_clock.text());
    accept();
}

void frmScrName::timCmd_Timer()
{
    modCommon::showButtonPicture(*imgCmd, ids::bmp::kOkButton);
}
