// The main window's design: its controls and its menu, laid out in twips as the window shows them.
#include "frmMain.h"

#include "Accessibility.h"
#include "Colors.h"
#include "Fonts.h"
#include "ImageControl.h"
#include "KeyboardAccess.h"
#include "PictureBox.h"
#include "QuietLabel.h"
#include "SpokenNote.h"
#include "TileGrid.h"
#include "Twips.h"

#include <QFrame>
#include <QLabel>
#include <QRadioButton>

using screen::TwipsRect;

void frmMain::createControls()
{
    picEndingBuf = new PictureBox(this);
    picEndingBuf->setObjectName(QStringLiteral("picEndingBuf"));
    picEndingBuf->setGeometry(TwipsRect(12, 1080, 348, 360));
    picEndingBuf->setBackColor(palette().color(QPalette::Window));
    picEndingBuf->hide();

    picPuzzle = new TileGrid(board::kRows, board::kColumns, this);
    picPuzzle->setObjectName(QStringLiteral("picPuzzle"));
    picPuzzle->setGeometry(TwipsRect(648, 1080, 4080, 4092));
    picPuzzle->setAutoFillBackground(true);
    for (int k = 0; k < board::kCells; ++k) {
        imgPanel[k] = new ImageControl(picPuzzle);
        imgPanel[k]->setObjectName(QStringLiteral("imgPanel%1").arg(k));
        imgPanel[k]->setTwipsGeometry((k % 4) * board::kPitch, (k / 4) * board::kPitch, board::kPitch, board::kPitch);
    }
    lblEnd = new QLabel(picPuzzle);
    lblEnd->setTextFormat(Qt::PlainText);   // captions from the library are text, never markup
    lblEnd->setObjectName(QStringLiteral("lblEnd"));
    lblEnd->setGeometry(TwipsRect(1932, 1560, 228, 852));
    lblEnd->setAlignment(Qt::AlignCenter);
    lblEnd->setFont(fonts::make(fonts::kCentury, 36, true));
    lblEnd->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblEnd->raise();

    fraSelect = new QFrame(this);
    fraSelect->setObjectName(QStringLiteral("fraSelect"));
    fraSelect->setGeometry(TwipsRect(600, 1068, 4152, 4440));
    fraSelect->setFrameStyle(QFrame::Box | QFrame::Sunken);
    fraSelect->setAutoFillBackground(true);
    const std::int32_t optionTops[] = {0, 720, 2040, 3360};
    const std::int32_t thumbTops[] = {0, 480, 1800, 3120};
    for (int n = 1; n <= 3; ++n) {
        optPic[n] = new QRadioButton(fraSelect);
        optPic[n]->setObjectName(QStringLiteral("optPic%1").arg(n));
        optPic[n]->setGeometry(TwipsRect(240, optionTops[n], 1092, 732));
        optPic[n]->setAutoFillBackground(true);
        controls::SetForeColor(optPic[n], Qt::white);
        imgSentaku[n] = new ImageControl(fraSelect);
        imgSentaku[n]->setObjectName(QStringLiteral("imgSentaku%1").arg(n));
        imgSentaku[n]->setTwipsGeometry(1440, thumbTops[n], 1200, 1200);
    }
    lblSelect = new QLabel(fraSelect);
    lblSelect->setTextFormat(Qt::PlainText);
    lblSelect->setObjectName(QStringLiteral("lblSelect"));
    lblSelect->setGeometry(TwipsRect(1560, 120, 864, 204));
    lblSelect->setFont(fonts::make(fonts::kGothic, 10.8, true));
    controls::SetForeColor(lblSelect, Qt::white);

    picEnding = new PictureBox(this, true);
    picEnding->setObjectName(QStringLiteral("picEnding"));
    picEnding->setGeometry(TwipsRect(375, 1005, 4560, 4560));

    lblTime = new QuietLabel(QStringLiteral("00:00:00"), this);   // read on demand, not announced each second
    lblTime->setTextFormat(Qt::PlainText);
    lblTime->setAccessibleName(tr("タイム"));
    lblTime->setObjectName(QStringLiteral("lblTime"));
    lblTime->setGeometry(TwipsRect(2160, 5280, 1092, 372));
    lblTime->setFont(fonts::make(fonts::kLucida, 10.8, true));

    const std::int32_t commandLefts[] = {0, 450, 2010, 3570};
    for (int i = 1; i <= 3; ++i) {
        imgCmd[i] = new ImageControl(this);
        imgCmd[i]->setObjectName(QStringLiteral("imgCmd%1").arg(i));
        imgCmd[i]->setTwipsGeometry(commandLefts[i], 5685, 1335, 540);
    }
    imgTitle = new ImageControl(this);
    imgTitle->setObjectName(QStringLiteral("imgTitle"));
    imgTitle->setTwipsGeometry(1020, 96, 3312, 852);

    // Labels and images lie on the window's own surface, beneath the boxes and the frame:
    // the ending stage covers the clock.
    for (QWidget* box : std::initializer_list<QWidget*>{picPuzzle, fraSelect, picEnding})
        box->raise();

    // What a screen reader speaks of slides, hints, the board, the clock and the end of a game.
    (new SpokenNote(this))->setObjectName(QStringLiteral("spokenNote"));
    accessibility::describeMainControls(imgCmd, imgSentaku, *imgTitle, *picPuzzle);
    setFocusPolicy(Qt::StrongFocus);
    keyboard::setUpMainWindow(*this);
}

void frmMain::createMenu()
{
    mMenu = new QMenu(tr("メニュー"), this);
    mOrignal = mMenu->addAction(tr("画像選択"));
    mInputPic = mMenu->addAction(tr("画像取込"));
    mPreview = mMenu->addAction(tr("プレビュー"));
    mAnime = mMenu->addMenu(tr("アニメーション"));
    mAnimChk[0] = mAnime->addAction(tr("オン"));
    mAnimChk[1] = mAnime->addAction(tr("オフ"));
    for (QAction* item : mAnimChk)
        item->setCheckable(true);
    mAnimChk[0]->setChecked(true);
    mScore = mMenu->addAction(tr("スコア"));
    mMenu->addSeparator()->setObjectName(QStringLiteral("mbar"));
    mVersion = mMenu->addAction(tr("バージョン情報"));
    mMenu->addSeparator();
    mHelp = mMenu->addAction(tr("操作方法"));
}
