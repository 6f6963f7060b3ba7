// The main window's handlers: start-up and shutdown, picture selection and import, the commands,
// tile moves, the end of a game and the clock. Work with more to it than a handler's worth is in
// the rooms (TileBoard, Music, EndingStage, HintController, pictureImport); the controls are laid
// out in frmMainDesign.cpp.
#include "frmMain.h"

#include "Accessibility.h"
#include "CatalogueIds.h"
#include "Colors.h"
#include "Fonts.h"
#include "GameClock.h"
#include "ImageControl.h"
#include "KeyboardAccess.h"
#include "PictureBox.h"
#include "PictureImport.h"
#include "RecordKeys.h"
#include "ScreenGeometry.h"
#include "Twips.h"
#include "WindowDrag.h"
#include "frmAbout.h"
#include "frmHelp.h"
#include "frmPreview.h"
#include "frmScore.h"
#include "frmScrName.h"
#include "modCommon.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>

#include <limits>

namespace ids = qel::ids;

namespace {

constexpr std::int32_t kClientWidth = 5316;    // twips
constexpr std::int32_t kClientHeight = 6204;
constexpr int kMoveInterval = 100;             // ms
constexpr int kClockInterval = 1000;
constexpr int kHoverInterval = 100;
// Normal pictures of imgCmd(1 to 3), the menu, start and quit buttons; hover is the next id.
constexpr controls::ControlArray<std::int32_t, 1, 3> kCommandPictures{{ids::bmp::kMenuButton, ids::bmp::kStartButton,
                                                                       ids::bmp::kEndButton}};

}  // namespace

frmMain::frmMain(board::RandomSource& random, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      timSound(this, 0),
      timEnding(this, 0, false),
      timScore(this, 0),
      timCmd(this, kHoverInterval),
      timMain(this, 0),
      secondsOfDay(modCommon::secondsOfDay),
      pauseWait(modCommon::shortWait),
      m_random(random)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString());
    setFixedSize(screen::TwipsToPixels(kClientWidth), screen::TwipsToPixels(kClientHeight));
    createControls();
    createMenu();
    ending = std::make_unique<EndingStage>(*picEnding, *picEndingBuf, timEnding);
    music = std::make_unique<Music>(timSound);
    tiles = std::make_unique<TileBoard>(model, imgPanel, *picPuzzle);
    hints = std::make_unique<HintController>(model, imgPanel, [this] { return inPlay(); }, this);
    connectHandlers();
    new controls::WindowDrag(this);
}

frmMain::~frmMain() = default;

// ---- Wiring: each control's event to its handler ----

void frmMain::connectHandlers()
{
    for (int i = 1; i <= 3; ++i)
        connect(imgCmd[i], &ImageControl::Click, this, [this, i] { imgCmd_Click(i); });
    for (int k = 0; k < board::kCells; ++k)
        connect(imgPanel[k], &ImageControl::Click, this, [this, k] { imgPanel_Click(k); });
    for (int n = 1; n <= 3; ++n) {
        connect(imgSentaku[n], &ImageControl::Click, this, [this, n] { imgSentaku_Click(n); });
        // Every click runs the option handling, on the option already chosen too (arrow keys
        // in the group click as well).
        connect(optPic[n], &QRadioButton::clicked, this, [this, n] { optPic_Click(n); });
    }
    for (int i = 0; i < 2; ++i)
        connect(mAnimChk[i], &QAction::triggered, this, [this, i] { mAnimChk_Click(i); });
    connect(mOrignal, &QAction::triggered, this, &frmMain::mOrignal_Click);
    connect(mInputPic, &QAction::triggered, this, &frmMain::mInputPic_Click);
    connect(mPreview, &QAction::triggered, this, &frmMain::mPreview_Click);
    connect(mScore, &QAction::triggered, this, &frmMain::mScore_Click);
    connect(mVersion, &QAction::triggered, this, &frmMain::mVersion_Click);
    connect(mHelp, &QAction::triggered, this, &frmMain::mHelp_Click);
    connect(&timEnding, &WindowTimer::Timer, this, &frmMain::timEnding_Timer);
    connect(&timMain, &WindowTimer::Timer, this, &frmMain::timMain_Timer);
    connect(&timScore, &WindowTimer::Timer, this, &frmMain::timScore_Timer);
    connect(&timSound, &WindowTimer::Timer, this, &frmMain::timSound_Timer);
    connect(&timCmd, &WindowTimer::Timer, this, &frmMain::timCmd_Timer);
}

// ---- Start-up and shutdown ----

void frmMain::Form_Load()
{
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    show();

    timScore.stop();
    timEnding.stop();
    timMain.stop();
    timCmd.setEnabled(true);
    timSound.stop();

    mPreview->setEnabled(false);
    PictureClip.setTag(QStringLiteral("1"));
    lblTime->hide();
    picEnding->hide();

    for (QWidget* w : std::initializer_list<QWidget*>{this, fraSelect, picPuzzle, optPic[1], optPic[2], optPic[3]})
        controls::SetBackColor(w, modCommon::colorFromText(modCommon::GetResStr(ids::str::kMainBackColor)));
    controls::SetForeColor(lblTime, modCommon::colorFromText(modCommon::GetResStr(ids::str::kClockForeColor)));
    controls::SetForeColor(lblSelect, modCommon::colorFromText(modCommon::GetResStr(ids::str::kSelectForeColor)));
    lblSelect->setText(modCommon::GetResStr(ids::str::kSelectCaption));
    lblSelect->adjustSize();

    ending->clearedFlags = {};

    imgTitle->setPicture(modCommon::GetResPic(ids::bmp::kTitle, modCommon::kPictureBitmap));
    for (int i = 1; i <= 3; ++i)
        imgCmd[i]->setPicture(modCommon::GetResPic(kCommandPictures[i], modCommon::kPictureBitmap));

    ShowPictureSelection();
    setFocus();   // the window holds the keys at first: the first Tab goes to Menu

    music->open();
}

void frmMain::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    music->close();
    QApplication::exit(0);
}

// A close request (the title bar's close box, the session's logout) ends the game as End does:
// the window stays up until the program ends at once after its event loop. Hiding it first would
// tear its surface down while Qt 6.4's Wayland plugin may still be delivering the last frame's
// callback on its event thread, which aborts the program in libwayland.
void frmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->ignore();
}

// ---- Picture selection ----

void frmMain::ShowPictureSelection()
{
    hints->stop();
    timScore.stop();
    lblTime->hide();
    picPuzzle->hide();
    selectOption(1);
    for (int n = 1; n <= 3; ++n)
        imgSentaku[n]->setPicture(modCommon::GetResPic(ids::bmp::picture(n), modCommon::kPictureBitmap));
    for (int n = 1; n <= 3; ++n)
        optPic[n]->setText(modCommon::GetResStr(ids::str::pictureName(n)));
    PictureClip.setPicture(imgSentaku[1]->Picture());
    fraSelect->show();
    picEnding->hide();
    if (preview)
        preview->close();
    mPreview->setEnabled(false);
    music->stop();
}

// Selecting an option runs its handling even when it is already selected.
void frmMain::selectOption(int index)
{
    optPic[index]->setChecked(true);
    optPic_Click(index);
}

void frmMain::optPic_Click(int index)
{
    PictureClip.setPicture(imgSentaku[index]->Picture());
    PictureClip.setTag(QString::number(index));
}

void frmMain::imgSentaku_Click(int index)
{
    selectOption(index);
    optPic[index]->setFocus();
    PictureClip.setPicture(imgSentaku[index]->Picture());
    PictureClip.setTag(QString::number(index));
}

void frmMain::mOrignal_Click()
{
    ShowPictureSelection();
}

// ---- Picture import ----

// Any failure, from the dialog to the end of the start command, brings the message and then the
// dialog again, the new picture left current; the loop (rather than the handler calling itself)
// keeps the stack flat however often the player retries.
void frmMain::mInputPic_Click()
{
    for (;;) {
        try {
            const std::optional<QString> chosen = pictureImport::chooseFile(CommonDlg, this);
            if (!chosen)
                return;
            PictureClip.setTag(QString());
            PictureClip.setPicture(pictureImport::load(*chosen));
            if (preview)
                preview->close();
            imgCmd_Click(2);
            return;
        } catch (const std::exception&) {
            pictureImport::showNotRecognised(this);
        }
    }
}

// ---- Secondary windows ----

void frmMain::mPreview_Click()
{
    if (!preview) {
        preview = new frmPreview(PictureClip.Picture(), this);
        preview->setAttribute(Qt::WA_DeleteOnClose);
    }
    preview->show();
    preview->raise();
}

void frmMain::mScore_Click()
{
    frmScore score(this);
    score.exec();
}

void frmMain::mVersion_Click()
{
    frmAbout about(this);
    about.exec();
}

void frmMain::mHelp_Click()
{
    frmHelp help(this);
    help.exec();
}

// ---- Commands ----

void frmMain::imgCmd_Click(int index)
{
    if (index == 3) {
        close();
        return;
    }
    if (index == 1) {
        // At the pointer for a click; below the button when pressed from the keyboard.
        mMenu->popup(imgCmd[1]->inPointerClick() ? QCursor::pos()
                                                 : imgCmd[1]->mapToGlobal(QPoint(0, imgCmd[1]->height())));
        return;
    }

    // The start command.
    hints->newGame();
    fraSelect->hide();
    picEnding->hide();
    lblEnd->hide();
    picPuzzle->show();
    picPuzzle->setEnabled(true);
    mPreview->setEnabled(true);
    SetSlideStep();
    PictureClip.setRows(4);
    PictureClip.setCols(4);
    tiles->deal(PictureClip, m_random);
    picPuzzle->setFocus();   // a screen reader names the board; the arrow keys reach the window through it

    moveBusy = false;
    timMain.stop();

    timScore.setEnabled(true);
    timScore.setInterval(kClockInterval);
    lblTime->setText(QStringLiteral("00:00:00"));
    lblTime->show();
    playSeconds = 0;
    music->playGamePiece();
}

// ---- Tile moves ----

void frmMain::imgPanel_Click(int index)
{
    if (moveBusy)
        return;
    const auto direction = board::applyMove(model, model.panelTile[index]);
    if (!direction)
        return;
    slide = board::Slide{*direction, 0, 0};
    movePanel = static_cast<std::int16_t>(index);
    timMain.setEnabled(true);
    timMain.setInterval(kMoveInterval);
    moveBusy = true;
}

void frmMain::timMain_Timer()
{
    const board::SlideStepResult step = board::slideTick(slide, slideStep);
    if (step.ended) {
        timMain.stop();
        moveBusy = false;
    }
    tiles->shift(movePanel, step);
    // A slide that ends after the player has gone back to picture selection ends no game.
    if (step.ended && picPuzzle->isVisible() && IsBoardSolved())
        endOfGame();
}

// ---- Keyboard ----

void frmMain::keyPressEvent(QKeyEvent* event)
{
    Form_KeyDown(event->key());
    QWidget::keyPressEvent(event);
}

void frmMain::Form_KeyDown(int key)
{
    // B and T have a screen reader read the board and the clock whenever they are shown.
    if (key == Qt::Key_B && picPuzzle->isVisible()) {
        accessibility::announce(*this, accessibility::boardReading(model.board));
        return;
    }
    if (key == Qt::Key_T && lblTime->isVisible()) {
        accessibility::announce(*this, accessibility::clockSentence(lblTime->text()));
        return;
    }
    if (!inPlay() || moveBusy)
        return;
    if (key == Qt::Key_H) {
        hints->ask();
        return;
    }
    const auto direction = keyboard::arrowDirection(key);
    if (const int panel = direction ? tiles->panelToSlide(*direction) : -1; panel >= 0)
        imgPanel_Click(panel);
}

void frmMain::mAnimChk_Click(int index)
{
    mAnimChk[0]->setChecked(false);
    mAnimChk[1]->setChecked(false);
    mAnimChk[index]->setChecked(true);
    SetSlideStep();
}

void frmMain::SetSlideStep()
{
    slideStep = mAnimChk[0]->isChecked() ? board::kSlideStepAnimated : board::kSlideStepJump;
}

bool frmMain::inPlay() const
{
    return picPuzzle->isVisible() && picPuzzle->isEnabled();
}

bool frmMain::IsBoardSolved() const
{
    return board::IsBoardSolved(model.board);
}

void frmMain::endOfGame()
{
    hints->stop();
    tiles->revealGapTile();
    if (picPuzzle->hasFocus())
        setFocus();   // the disabled board would hand the focus on to the next button, which a reader names over "Game Clear"
    picPuzzle->setEnabled(false);
    timScore.stop();
    controls::SetForeColor(lblEnd, modCommon::colorFromText(modCommon::GetResStr(ids::str::kEndForeColor)));
    fonts::fitCaption(*lblEnd, modCommon::GetResStr(ids::str::kEndCaption), fonts::kCentury, 36, picPuzzle->width() - 8);
    lblEnd->setVisible(true);
    accessibility::announce(*this, accessibility::clearSentence(lblEnd->text(), lblTime->text()));
    music->playFanfare();
    EndingTrigger();
    if (!hints->used() && IsNewRecord(lblTime->text())) {
        accessibility::waitUntilSpoken(*this);   // the name entry opens once the time has been said
        frmScrName name(*lblTime, this);
        name.exec();
    }
}

bool frmMain::IsNewRecord(const QString& timeText) const
{
    const QString best = modCommon::ReadSetting(recordKeys::kApplication, recordKeys::kSection, recordKeys::kTime);
    const std::int32_t bestKey = trimSpaces(best).isEmpty() ? 10000 : board::TimeKey(best.toStdString());
    return board::TimeKey(timeText.toStdString()) < bestKey;
}

// ---- The ending ----

void frmMain::EndingTrigger()
{
    if (!ending->markCleared(PictureClip.Tag()))
        return;
    repaint();
    modCommon::ClockPause(secondsOfDay, pauseWait);
    picPuzzle->hide();
    ending->start();
}

void frmMain::timEnding_Timer()
{
    ending->tick();
}

// ---- Picture buttons ----

void frmMain::timCmd_Timer()
{
    const screen::CursorRead oneRead;   // every button is tested against one pointer position
    for (int i = 1; i <= 3; ++i)
        modCommon::showButtonPicture(*imgCmd[i], kCommandPictures[i]);
}

// ---- Clock and music watch ----

void frmMain::timScore_Timer()
{
    if (playSeconds < std::numeric_limits<std::int32_t>::max())
        ++playSeconds;
    lblTime->setText(QString::fromStdString(board::clockText(playSeconds)));
}

void frmMain::timSound_Timer()
{
    music->watch();
}
