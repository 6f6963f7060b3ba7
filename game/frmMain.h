// The main window: picture selection, the board, the clock and the command buttons.
//
// Every control carries its design name; each handler is named <control>_<event> and is public,
// so the program's wiring and the tests call the same functions. All handlers run on the
// user-interface thread, one at a time. Positions are twips unless a comment says pixels.
#pragma once

#include "Board.h"
#include "Move.h"
#include "PictureClip.h"
#include "Shuffle.h"
#include "Twips.h"
#include "WindowTimer.h"

#include "DatabaseCache.h"
#include "GameBoard.h"
#include "OpenFileDialog.h"
#include "Solver.h"

#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <functional>
#include <QWidget>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

class ImageControl;
class PictureBox;
class frmPreview;
class QFrame;
class QLabel;
class QRadioButton;

class frmMain : public QWidget {
    Q_OBJECT
public:
    // `random` feeds the shuffle; it must outlive the window.
    explicit frmMain(board::RandomSource& random, QWidget* parent = nullptr);
    ~frmMain() override;

    // ---- Handlers ----
    void Form_Load();        // start-up: shows the window and brings it to picture selection
    void Form_Unload();      // shutdown: silences the media and ends the program
    void imgCmd_Click(int index);
    void imgPanel_Click(int index);
    void imgSentaku_Click(int index);
    void optPic_Click(int index);
    void timMain_Timer();
    void timScore_Timer();
    void timSound_Timer();
    void timCmd_Timer();
    void mAnimChk_Click(int index);
    void mOrignal_Click();
    void mInputPic_Click();
    void mPreview_Click();
    void mScore_Click();
    void mVersion_Click();
    void timEnding_Timer();
    void Form_KeyDown(int key);      // arrow keys slide a tile into the gap, H asks for a hint
    void timHint_Timer();            // the hinted tile's blink

    // ---- Procedures shared by the handlers ----
    void ShowPictureSelection();
    void SetSlideStep();
    bool IsBoardSolved() const;
    void EndOfGame();
    void EndingTrigger();
    bool IsNewRecord(const QString& timeText) const;

    // ---- Hints ----
    // Starts building (or loading from the user's cache folder) the solver's tables in the
    // background; until they are ready a hint is answered from a weaker bound.
    void StartHintTables();
    void ShowHint();                 // solves on a worker thread, then blinks the first tile to move
    void StopHint();

    // ---- Controls ----
    PictureBox* picEndingBuf = nullptr;
    WindowTimer timSound;
    WindowTimer timEnding;
    WindowTimer timScore;
    WindowTimer timCmd;
    picclip::PictureClip PictureClip;
    WindowTimer timMain;
    WindowTimer timHint;
    dialogs::OpenFileDialog CommonDlg;
    QWidget* picPuzzle = nullptr;
    QLabel* lblEnd = nullptr;
    std::array<ImageControl*, board::kCells> imgPanel{};
    QFrame* fraSelect = nullptr;
    std::array<QRadioButton*, 4> optPic{};        // 1 to 3
    std::array<ImageControl*, 4> imgSentaku{};    // 1 to 3
    QLabel* lblSelect = nullptr;
    PictureBox* picEnding = nullptr;
    QLabel* lblTime = nullptr;
    std::array<ImageControl*, 4> imgCmd{};        // 1 menu, 2 start, 3 quit
    ImageControl* imgTitle = nullptr;

    // The pop-up menu and its entries.
    QMenu* mMenu = nullptr;
    QAction* mOrignal = nullptr;
    QAction* mInputPic = nullptr;
    QAction* mPreview = nullptr;
    QMenu* mAnime = nullptr;
    std::array<QAction*, 2> mAnimChk{};           // 0 on, 1 off
    QAction* mScore = nullptr;
    QAction* mbar = nullptr;
    QAction* mVersion = nullptr;

    // ---- Run state ----
    board::BoardModel model;                       // board, gapCol, gapRow, hiddenPanel
    bool moveBusy = false;
    board::Slide slide;                            // moveDir, slideSumX, slideSumY
    std::int16_t movePanel = 0;
    std::int32_t slideStep = board::kSlideStepAnimated;
    std::int32_t playSeconds = 0;
    bool musicOn = false;
    std::array<bool, 4> clearedFlags{};            // 1 to 3
    screen::ScaleMode scaleMode = screen::ScaleMode::Twips;
    std::int32_t endFrame = 0;
    std::int32_t endFrameLimit = 0;
    QPointer<frmPreview> preview;                  // frmPreview while it is open
    bool hintUsed = false;                         // a hint was shown in this game: no record

    // The time of day for the ending's pause, and the wait between its looks; tests drive both.
    std::function<int()> secondsOfDay;
    std::function<void()> pauseWait;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void createControls();
    void createMenu();
    void connectHandlers();
    void selectOption(int index);
    void SetEndCaption(const QString& caption);
    void DescribeTiles();   // accessible names and descriptions of the tiles as they now stand

    void HintReady(const std::string& tile, const std::string& boardWhenAsked);

    board::RandomSource& m_random;
    std::unique_ptr<solver::BackgroundDatabases> m_tables;
    solver::HintSolver m_hintSolver;               // used on the hint thread only
    std::thread m_hintThread;
    std::atomic<bool> m_hintCancel{false};
    bool m_hintRunning = false;
    int m_hintPanel = -1;
    int m_hintBlinks = 0;
    bool m_unloaded = false;
    bool m_dragging = false;
    QPoint m_dragOffset;   // pixels, cursor to window origin
};
