// The preview window's load, layout, resize, button and hover handling.
#include "frmPreview.h"

#include "CatalogueIds.h"
#include "Colors.h"
#include "DialogFrame.h"
#include "ImageControl.h"
#include "modCommon.h"

#include <QIcon>
#include <QPixmap>
#include <cmath>

namespace ids = qel::ids;

namespace {
constexpr double kButtonWidth = 810;           // twips
constexpr double kButtonHeight = 390;
constexpr double kBand = 500;                  // below the picture, for the button

std::int32_t Twips(double value)
{
    return static_cast<std::int32_t>(std::lround(value));
}
}  // namespace

frmPreview::frmPreview(const QImage& picture, QWidget* owner)
    : ButtonClosedDialog(owner, dialogframe::kFixedDialog), timCmd(this, 100, false)
{
    dialogframe::Fix(*this, tr("プレビュー"), 2520, 3072);
    imgPrev = new ImageControl(this);
    imgPrev->setObjectName(QStringLiteral("imgPrev"));
    imgCmd = new ImageControl(this);
    imgCmd->setPressable(true);
    imgCmd->setObjectName(QStringLiteral("imgCmd"));
    imgPrev->setTwipsGeometry(0, 0, 2500, 2500);
    imgCmd->setTwipsGeometry(840, 2640, Twips(kButtonWidth), Twips(kButtonHeight));
    connect(imgCmd, &ImageControl::Click, this, &frmPreview::imgCmd_Click);
    imgPrev->setAccessibleName(tr("プレビュー"));
    imgPrev->setAccessibleDescription(tr("このゲームの画像の全体"));
    //: The lettering of the Close button's picture, kept as drawn.
    imgCmd->setAccessibleName(tr("Close"));
    imgCmd->setAccessibleDescription(tr("プレビューを閉じます"));
    connect(&timCmd, &WindowTimer::Timer, this, &frmPreview::timCmd_Timer);

    timCmd.setEnabled(true);
    controls::SetBackColor(this, modCommon::colorFromText(modCommon::GetResStr(ids::str::kPreviewBackColor)));
    applyLayout();
    setWindowIcon(QIcon(QPixmap::fromImage(modCommon::GetResPic(ids::icon::kWindow, modCommon::kPictureIcon))));
    imgPrev->setPicture(picture);
    imgCmd->setPicture(modCommon::GetResPic(ids::bmp::kCloseButton, modCommon::kPictureBitmap));
}

frmPreview::Layout frmPreview::LayoutFor(double width, double height)
{
    Layout l;
    const double side = height - kBand;
    l.imgPrev = QRectF((width - side) / 2, 0, side, side);
    l.imgCmd = QRectF((width - kButtonWidth) / 2, (height - (kButtonHeight + side)) / 2 + side, kButtonWidth, kButtonHeight);
    return l;
}

void frmPreview::applyLayout()
{
    const Layout l = LayoutFor(screen::PixelsToTwips(width()), screen::PixelsToTwips(height()));
    imgPrev->setTwipsGeometry(Twips(l.imgPrev.x()), Twips(l.imgPrev.y()), Twips(l.imgPrev.width()), Twips(l.imgPrev.height()));
    imgCmd->setTwipsGeometry(Twips(l.imgCmd.x()), Twips(l.imgCmd.y()), Twips(l.imgCmd.width()), Twips(l.imgCmd.height()));
}

void frmPreview::resizeEvent(QResizeEvent* event)
{
    ButtonClosedDialog::resizeEvent(event);
    if (screen::PixelsToTwips(height()) > kBand && screen::PixelsToTwips(width()) > kBand)
        applyLayout();
}

void frmPreview::imgCmd_Click()
{
    close();
}

void frmPreview::timCmd_Timer()
{
    modCommon::showButtonPicture(*imgCmd, ids::bmp::kCloseButton);
}
