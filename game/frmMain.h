// The main window: picture selection, the board, the clock and the command buttons.
//
// Every control carries its design name; each handler is named <control>_<event> and is public,
// so the program's wiring and the tests call the same functions. All handlers run on the
// user-interface thread, one at a time. Positions are twips unless a comment says pixels.
// The handlers (frmMain.cpp) forward whatever is more than a handler's worth to the rooms listed
// under "Features"; the controls and the menu are laid out in frmMainDesign.cpp.
#pragma once

#include "Board.h"
#include "ControlArray.h"
#include "EndingStage.h"
#include "HintController.h"
#include "Move.h"
#include "Music.h"
#include "OpenFileDialog.h"
#include "PictureClip.h"
#include "Shuffle.h"
#include "TileBoard.h"
#include "TileGrid.h"
#include "WindowTimer.h"

#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

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
    void mHelp_Click();      // "操作方法": the list of mouse and keyboard controls
    void timEnding_Timer();
    void Form_KeyDown(int key);      // arrow keys slide a tile into the gap, H asks for a hint, B and T read the board and the clock aloud

    // ---- Procedures shared by the handlers ----
    void ShowPictureSelection();
    void SetSlideStep();
    bool IsBoardSolved() const;
    void endOfGame();
    void EndingTrigger();
    bool IsNewRecord(const QString& timeText) const;

    // ---- Controls ----
    PictureBox* picEndingBuf = nullptr;
    WindowTimer timSound;
    WindowTimer timEnding;
    WindowTimer timScore;
    WindowTimer timCmd;
    picclip::PictureClip PictureClip;
    WindowTimer timMain;
    dialogs::OpenFileDialog CommonDlg;
    TileGrid* picPuzzle = nullptr;
    QLabel* lblEnd = nullptr;
    std::array<ImageControl*, board::kCells> imgPanel{};
    QFrame* fraSelect = nullptr;
    controls::ControlArray<QRadioButton*, 1, 3> optPic;
    controls::ControlArray<ImageControl*, 1, 3> imgSentaku;
    QLabel* lblSelect = nullptr;
    PictureBox* picEnding = nullptr;
    QLabel* lblTime = nullptr;
    controls::ControlArray<ImageControl*, 1, 3> imgCmd;   // 1 menu, 2 start, 3 quit
    ImageControl* imgTitle = nullptr;

    // The pop-up menu and its entries.
    QMenu* mMenu = nullptr;
    QAction* mOrignal = nullptr;
    QAction* mInputPic = nullptr;
    QAction* mPreview = nullptr;
    QMenu* mAnime = nullptr;
    std::array<QAction*, 2> mAnimChk{};           // 0 on, 1 off
    QAction* mScore = nullptr;
    QAction* mVersion = nullptr;
    QAction* mHelp = nullptr;

    // ---- Run state ----
    board::BoardModel model;                       // board, gapCol, gapRow, hiddenPanel, the tile of each imgPanel
    bool moveBusy = false;
    board::Slide slide;                            // moveDir, slideSumX, slideSumY
    std::int16_t movePanel = 0;
    std::int32_t slideStep = board::kSlideStepAnimated;
    std::int32_t playSeconds = 0;
    QPointer<frmPreview> preview;                  // frmPreview while it is open

    // ---- Features in rooms of their own, made with the controls ----
    std::unique_ptr<EndingStage> ending;           // clearedFlags; picEnding, picEndingBuf, timEnding: endFrame, endFrameLimit
    std::unique_ptr<Music> music;                  // the two pieces and the watch of timSound: musicOn
    std::unique_ptr<TileBoard> tiles;              // imgPanel laid out, moved and described from the board
    std::unique_ptr<HintController> hints;         // H: the next tile of an optimal solution

    // The time of day for the ending's pause, and the wait between its looks; tests drive both.
    std::function<int()> secondsOfDay;
    std::function<void()> pauseWait;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void createMenu();
    void connectHandlers();
    void selectOption(int index);
    bool inPlay() const;   // a game runs and its board takes clicks

    board::RandomSource& m_random;
    bool m_unloaded = false;
};
