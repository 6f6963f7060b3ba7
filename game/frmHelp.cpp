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
// One line a control: what to do, then what it does. Start, End and Menu name the buttons by
// the lettering of their pictures.
const char* const kLines[][2] = {
    {QT_TRANSLATE_NOOP("frmHelp", "タイルをクリック"), QT_TRANSLATE_NOOP("frmHelp", "空きの隣のタイルなら、空きへ動く")},
    {QT_TRANSLATE_NOOP("frmHelp", "矢印キー"), QT_TRANSLATE_NOOP("frmHelp", "矢印の向きにタイルが空きへ動く")},
    {QT_TRANSLATE_NOOP("frmHelp", "H"), QT_TRANSLATE_NOOP("frmHelp", "ヒント: 次に動かすタイルが点滅（記録なし）")},
    {QT_TRANSLATE_NOOP("frmHelp", "B"), QT_TRANSLATE_NOOP("frmHelp", "スクリーンリーダーが盤面を1行目から読む")},
    {QT_TRANSLATE_NOOP("frmHelp", "T"), QT_TRANSLATE_NOOP("frmHelp", "スクリーンリーダーがタイムを読む")},
    {QT_TRANSLATE_NOOP("frmHelp", "Ctrl+N、F2"), QT_TRANSLATE_NOOP("frmHelp", "Start: 新しいゲーム")},
    {QT_TRANSLATE_NOOP("frmHelp", "Ctrl+Q"), QT_TRANSLATE_NOOP("frmHelp", "End: ゲームを終わる")},
    {QT_TRANSLATE_NOOP("frmHelp", "F10、メニューキー"), QT_TRANSLATE_NOOP("frmHelp", "ゲームのメニューを開く")},
    {QT_TRANSLATE_NOOP("frmHelp", "Tab、Shift+Tab"), QT_TRANSLATE_NOOP("frmHelp", "ボタン、盤面、画像の間を移る")},
    {QT_TRANSLATE_NOOP("frmHelp", "Space、Enter"), QT_TRANSLATE_NOOP("frmHelp", "フォーカスのあるボタンや画像を押す")},
    {QT_TRANSLATE_NOOP("frmHelp", "Esc"), QT_TRANSLATE_NOOP("frmHelp", "この画面とゲームのメニューを閉じる")},
};
}  // namespace

frmHelp::frmHelp(QWidget* owner) : ButtonClosedDialog(owner, dialogframe::kFixedDialog), timCmd(this, 100)
{
    dialogframe::Fix(*this, tr("操作方法"), 7800, 3220);
    setAllowEscape(true);
    QStringList keys;
    QStringList actions;
    for (const auto& line : kLines) {
        keys << tr(line[0]);
        actions << tr(line[1]);
    }
    const auto column = [this](QLabel*& label, const char* name, const QStringList& lines, QRect rect) {
        label = new QLabel(lines.join(QLatin1Char('\n')), this);
        label->setObjectName(QLatin1String(name));
        label->setTextFormat(Qt::PlainText);
        label->setGeometry(rect);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setFont(fonts::make(fonts::kGothic, 9, false));
    };
    column(lblKeys, "lblKeys", keys, TwipsRect(240, 180, 2400, 2500));
    column(lblActions, "lblActions", actions, TwipsRect(2640, 180, 4980, 2500));
    imgCmd = new ImageControl(this);
    imgCmd->setObjectName(QStringLiteral("imgCmd"));
    imgCmd->setPressable(true);
    imgCmd->setTwipsGeometry(3498, 2680, 804, 396);
    //: The lettering of the OK button's picture, kept as drawn.
    imgCmd->setAccessibleName(tr("OK"));
    imgCmd->setAccessibleDescription(tr("操作方法を閉じます"));
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
