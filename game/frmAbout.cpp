// The about window's design and load handling.
#include "frmAbout.h"

#include "CatalogueIds.h"
#include "DialogFrame.h"
#include "Fonts.h"
#include "ImageControl.h"
#include "Version.h"
#include "modCommon.h"

#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace ids = qel::ids;

using screen::TwipsRect;
using screen::TwipsToPixels;

frmAbout::frmAbout(QWidget* owner) : ButtonClosedDialog(owner, dialogframe::kFixedDialog)
{
    dialogframe::Fix(*this, QString(), 3732, 2148);
    imgIco = new ImageControl(this);
    imgIco->setTwipsGeometry(240, 240, 852, 852);
    const QFont small = fonts::make(fonts::kGothic, 7.8, true);
    auto label = [this](QLabel*& l, const char* name, QRect rect) {
        l = new QLabel(this);
        l->setTextFormat(Qt::PlainText);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(rect);
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    };
    label(lblTitle, "lblTitle", TwipsRect(1080, 240, 2652, 360));
    label(lblVersion, "lblVersion", TwipsRect(1080, 600, 2652, 348));
    label(lblCopyright, "lblCopyright", TwipsRect(1080, 1080, 2652, 252));
    lblTitle->setFont(small);
    lblVersion->setFont(small);
    QPalette black = lblTitle->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    lblTitle->setPalette(black);
    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(TwipsRect(1200, 1680, 1310, 345));
    cmdOK->setDefault(true);
    cmdOK->setFocus();
    setAllowEscape(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    const QString title = QString::fromUtf8(version::kProductName);
    setWindowIcon(QIcon(QPixmap::fromImage(modCommon::GetResPic(ids::icon::kWindow, modCommon::kPictureIcon))));
    imgIco->setPicture(modCommon::GetResPic(ids::icon::kWindow, modCommon::kPictureIcon));
    //: The about window's title; %1 is the program's name.
    setWindowTitle(tr("%1のﾊﾞｰｼﾞｮﾝ情報").arg(title));
    lblTitle->setText(title);
    lblVersion->setText(VersionText(version::kMajor, version::kMinor, version::kRevision));
    lblCopyright->setText(QString::fromUtf8(version::kLegalCopyright));
    // A copyright line wider than its label is set smaller, so that all of it shows. A font's
    // widths do not shrink in proportion to its size (the Japanese desktop's default font rounds
    // them up), so the size goes down in steps until the line fits.
    QFont font = lblCopyright->font();
    const auto wide = [&] { return QFontMetrics(font).horizontalAdvance(lblCopyright->text()); };
    if (wide() > lblCopyright->width()) {
        font.setPointSizeF(font.pointSizeF() * lblCopyright->width() / wide());
        while (wide() > lblCopyright->width() && font.pointSizeF() > 1)
            font.setPointSizeF(font.pointSizeF() - 0.25);
        lblCopyright->setFont(font);
    }
}

QString frmAbout::VersionText(int major, int minor, int revision)
{
    return tr("Ver.%1.%2.%3").arg(major).arg(minor).arg(revision);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::paintEvent(QPaintEvent* event)
{
    ButtonClosedDialog::paintEvent(event);
    QPainter p(this);
    const int y = TwipsToPixels(1560);
    const int x1 = TwipsToPixels(120);
    const int x2 = TwipsToPixels(3600);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    p.drawLine(x1, y, x2, y);
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(x1, y + 1, x2, y + 1);
}
