// The controls window, in the colours and picture buttons of the record windows.
#include "frmHelp.h"

#include "CatalogueIds.h"
#include "Colors.h"
#include "DialogFrame.h"
#include "Fonts.h"
#include "ImageControl.h"
#include "modCommon.h"

#include <QIcon>
#include <QLabel>
#include <QStringList>
#include <QPixmap>

namespace ids = qel::ids;
using screen::TwipsRect;

namespace {
// One line a control: what to do, then what it does.
const char* const kLines[][2] = {
    {"Click a tile beside the gap", "slides it into the gap"},
    {"Arrow keys", "slide a tile into the gap, the way they point"},
    {"H", "hint: blinks the tile to slide next (no record then)"},
    {"Ctrl+N, F2", "Start: a new game"},
    {"Ctrl+Q", "End: quits the game"},
    {"F10, Menu key", "opens the game menu"},
    {"Tab, Shift+Tab", "move between the buttons and the pictures"},
    {"Space, Enter", "press the button or picture with the focus"},
    {"Esc", "closes this window and the game menu"},
};
}  // namespace

frmHelp::frmHelp(QWidget* owner) : ButtonClosedDialog(owner, dialogframe::kFixedDialog), timCmd(this, 100)
{
    dialogframe::Fix(*this, QStringLiteral("操作方法"), 7800, 2760);
    setAllowEscape(true);
    QStringList keys;
    QStringList actions;
    for (const auto& line : kLines) {
        keys << QLatin1String(line[0]);
        actions << QLatin1String(line[1]);
    }
    const auto column = [this](QLabel*& label, const char* name, const QStringList& lines, QRect rect) {
        label = new QLabel(lines.join(QLatin1Char('\n')), this);
        label->setObjectName(QLatin1String(name));
        label->setTextFormat(Qt::PlainText);
        label->setGeometry(rect);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setFont(fonts::make(fonts::kGothic, 9, false));
    };
    column(lblKeys, "lblKeys", keys, TwipsRect(240, 180, 2400, 2040));
    column(lblActions, "lblActions", actions, TwipsRect(2640, 180, 4980, 2040));
    imgCmd = new ImageControl(this);
    imgCmd->setObjectName(QStringLiteral("imgCmd"));
    imgCmd->setPressable(true);
    imgCmd->setTwipsGeometry(3498, 2220, 804, 396);
    imgCmd->setAccessibleName(QStringLiteral("OK"));
    imgCmd->setAccessibleDescription(QStringLiteral("Closes the list of controls"));
    connect(imgCmd, &ImageControl::Click, this, &frmHelp::imgCmd_Click);
    connect(&timCmd, &WindowTimer::Timer, this, &frmHelp::timCmd_Timer);

    setWindowIcon(QIcon(QPixmap::fromImage(modCommon::GetResPic(ids::icon::kWindow, modCommon::kPictureIcon))));
    imgCmd->setPicture(modCommon::GetResPic(ids::bmp::kOkButton, modCommon::kPictureBitmap));
    controls::SetBackColor(this, modCommon::colorFromText(modCommon::GetResStr(ids::str::kRecordBackColor)));
    for (QLabel* label : {lblKeys, lblActions})
        controls::SetForeColor(label, modCommon::colorFromText(modCommon::GetResStr(ids::str::kRecordForeColor)));
}

void frmHelp::imgCmd_Click()
{
    accept();
}

void frmHelp::timCmd_Timer()
{
    modCommon::showButtonPicture(*imgCmd, ids::bmp::kOkButton);
}
