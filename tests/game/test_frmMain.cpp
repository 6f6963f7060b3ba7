// Widget tests of the main window: start-up, the start command in every state, moves, clock, music watch.
#include "CatalogueIds.h"
#include "ImageControl.h"
#include "MediaRecorder.h"
#include "PictureBox.h"
#include "QelForTests.h"
#include "StartedGame.h"
#include "frmMain.h"
#include "modCommon.h"

#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QtTest>

#include <memory>

namespace bmp = qel::ids::bmp;

namespace {

using Commands = std::vector<std::string>;

// The real screen, but one on which the cursor can be read only over the program's windows.
class CursorReadInsideOnly final : public screen::Geometry {
public:
    QPoint CursorPos() const override { return screen::System().CursorPos(); }
    QRect OuterTwips(const QWidget& window) const override { return screen::System().OuterTwips(window); }
    QSize InnerPixels(const QWidget& window) const override { return screen::System().InnerPixels(window); }
    bool CursorKnownOutsideWindows() const override { return false; }
};

int HiddenPanels(const frmMain& w)
{
    int hidden = 0;
    for (ImageControl* p : w.imgPanel)
        hidden += p->isHidden();
    return hidden;
}

}  // namespace

class FrmMainTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        StoreUnbeatableRecord();   // so no name entry opens unless a test wants one
        m_game = std::make_unique<StartedGame>(17);
    }
    void cleanup() { m_game.reset(); }

    void startUpLeavesThePictureSelection()
    {
        frmMain& w = *m_game->window;
        QVERIFY(w.isVisible());
        QVERIFY(w.fraSelect->isVisible());
        QVERIFY(w.picPuzzle->isHidden());
        QVERIFY(w.lblTime->isHidden());
        QVERIFY(w.picEnding->isHidden());
        QVERIFY(w.optPic[1]->isChecked());
        QCOMPARE(w.PictureClip.Tag(), QString("1"));
        QCOMPARE(w.lblSelect->text(), QString("画像選択"));
        // Only the hover timer runs.
        QVERIFY(w.timCmd.isRunning());
        QCOMPARE(w.timCmd.Interval(), 100);
        for (WindowTimer* t : {&w.timMain, &w.timScore, &w.timSound, &w.timEnding})
            QVERIFY(!t->isRunning());
        QCOMPARE(media_double::Commands(), (Commands{"stop all", "open fanfa4.mid type sequencer alias EndSound",
                                                     "open juesmansdesiring.mid type sequencer alias MoveSound"}));
    }

    void windowIsBorderlessAndSizedFromTwips()
    {
        frmMain& w = *m_game->window;
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(w.windowTitle().isEmpty());
        QCOMPARE(w.size(), QSize(354, 414));              // 5316 x 6204 twips
        QCOMPARE(w.picPuzzle->geometry(), QRect(43, 72, 272, 273));
        QCOMPARE(w.imgCmd[2]->geometry(), QRect(134, 379, 89, 36));
        QCOMPARE(w.imgPanel[5]->geometry(), QRect(67, 67, 67, 67));
    }

    void menuCarriesItsCaptionsAndStates()
    {
        frmMain& w = *m_game->window;
        QStringList captions;
        for (QAction* a : w.mMenu->actions())
            captions << (a->isSeparator() ? QString("-") : a->text());
        QCOMPARE(captions, (QStringList{"画像選択", "画像取込", "プレビュー", "アニメーション", "スコア", "-", "バージョン情報", "-", "操作方法"}));
        QCOMPARE(w.mAnimChk[0]->text(), QString("オン"));
        QCOMPARE(w.mAnimChk[1]->text(), QString("オフ"));
        QVERIFY(w.mAnimChk[0]->isChecked());
        QVERIFY(!w.mAnimChk[1]->isChecked());
        QVERIFY(!w.mPreview->isEnabled());

        w.imgCmd_Click(2);
        QVERIFY(w.mPreview->isEnabled());
        w.mAnimChk_Click(1);
        QVERIFY(!w.mAnimChk[0]->isChecked());
        QVERIFY(w.mAnimChk[1]->isChecked());
        QCOMPARE(w.slideStep, 1005);
        w.mAnimChk_Click(1);   // choosing the checked item again keeps it checked
        QVERIFY(w.mAnimChk[1]->isChecked());
        w.mOrignal_Click();
        QVERIFY(!w.mPreview->isEnabled());
    }

    void menuOpensAtThePointerForEveryClick_data()
    {
        QTest::addColumn<QPoint>("at");       // on the Menu button, in its pixels
        QTest::addColumn<bool>("byMouse");    // else pressed as the keyboard and screen readers do
        QTest::newRow("click on the first pixel row") << QPoint(40, 0) << true;
        QTest::newRow("click on the first pixel column") << QPoint(0, 18) << true;
        QTest::newRow("click on the first pixel") << QPoint(0, 0) << true;
        QTest::newRow("click in the middle") << QPoint(44, 18) << true;
        QTest::newRow("pressed with the pointer on it") << QPoint(44, 18) << false;
    }
    void menuOpensAtThePointerForEveryClick()
    {
        QFETCH(QPoint, at);
        QFETCH(bool, byMouse);
        frmMain& w = *m_game->window;
        w.move(w.screen()->availableGeometry().topLeft());   // room below the button for the menu
        ImageControl* button = w.imgCmd[1];
        QCursor::setPos(button->mapToGlobal(at));
        if (byMouse)
            QTest::mouseClick(button, Qt::LeftButton, {}, at);
        else
            button->press();
        QTRY_VERIFY(w.mMenu->isVisible());
        const QPoint expected = byMouse ? button->mapToGlobal(at) : button->mapToGlobal(QPoint(0, button->height()));
        QCOMPARE(w.mMenu->pos(), expected);
        w.mMenu->close();
    }

    void startCommandBeginsAFreshGameFromEveryState_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("picture selection") << "selection";
        QTest::newRow("playing, clock running") << "playing";
        QTest::newRow("during a slide") << "sliding";
        QTest::newRow("after a solved game") << "completed";
    }
    void startCommandBeginsAFreshGameFromEveryState()
    {
        QFETCH(QString, state);
        frmMain& w = *m_game->window;
        if (state != "selection") {
            if (state == "completed")
                m_game->random->Script(OneSlideFromSolved());
            w.imgCmd_Click(2);
            for (int i = 0; i < 5; ++i)
                w.timScore_Timer();
            if (state == "sliding" || state == "completed") {
                // Click the first tile next to the gap.
                for (int k = 0; k < 16 && !w.moveBusy; ++k)
                    w.imgPanel_Click(k);
                QVERIFY(w.moveBusy);
                w.timMain_Timer();
                if (state == "completed") {
                    w.timMain_Timer();
                    w.timMain_Timer();
                    QVERIFY(!w.picPuzzle->isEnabled());
                }
            }
        }
        media_double::Reset();
        w.imgCmd_Click(2);

        QVERIFY(w.fraSelect->isHidden());
        QVERIFY(w.picEnding->isHidden());
        QVERIFY(w.lblEnd->isHidden());
        QVERIFY(w.picPuzzle->isVisible());
        QVERIFY(w.picPuzzle->isEnabled());
        QVERIFY(w.mPreview->isEnabled());
        QVERIFY(!w.moveBusy);
        QVERIFY(!w.timMain.isRunning());
        QCOMPARE(w.timMain.Interval(), 0);
        QVERIFY(w.timScore.isRunning());
        QCOMPARE(w.timScore.Interval(), 1000);
        QVERIFY(w.timSound.isRunning());
        QCOMPARE(w.timSound.Interval(), 500);
        QVERIFY(w.music->musicOn);
        QCOMPARE(w.lblTime->text(), QString("00:00:00"));
        QVERIFY(w.lblTime->isVisible());
        QCOMPARE(w.playSeconds, 0);
        QVERIFY(!w.IsBoardSolved());
        QCOMPARE(HiddenPanels(w), 1);
        QCOMPARE(media_double::Commands(), (Commands{"stop all", "play MoveSound from 0"}));
    }

    void tilesAreLaidOutWhereTheBoardSaysAndShowTheirCells()
    {
        frmMain& w = *m_game->window;
        QImage picture(300, 300, QImage::Format_RGB32);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x)
                picture.setPixel(x, y, qRgb(x / 75 * 60, y / 75 * 60, 128));
        w.imgSentaku[1]->setPicture(picture);
        w.imgSentaku_Click(1);
        w.imgCmd_Click(2);
        for (int k = 0; k < 16; ++k) {
            ImageControl* p = w.imgPanel[k];
            const int t = p->Tag().toInt();
            QCOMPARE(p->Tag(), QString::number(w.model.board(k % 4 + 1, k / 4 + 1)));
            QCOMPARE(p->Picture().size(), QSize(75, 75));
            QCOMPARE(p->Picture().pixel(10, 10), qRgb((t - 1) % 4 * 60, (t - 1) / 4 * 60, 128));
            if (t == 1) {
                QVERIFY(p->isHidden());
                QVERIFY(!p->isEnabled());
                QCOMPARE(QPoint(p->Left(), p->Top()), QPoint(0, 0));
                QCOMPARE(int(w.model.hiddenPanel), k);
            } else {
                QCOMPARE(QPoint(p->Left(), p->Top()), QPoint(k % 4 * 1005, k / 4 * 1005));
            }
        }
    }

    void clickNextToTheGapSlidesInThreeAnimatedSteps()
    {
        frmMain& w = *m_game->window;
        m_game->random->Script(OneSlideFromSolved());   // tile 2 at (1, 1), gap at (2, 1)
        w.imgCmd_Click(2);
        ImageControl* tile = w.imgPanel[0];
        QCOMPARE(tile->Tag(), QString("2"));
        QTest::mouseClick(tile, Qt::LeftButton);
        QVERIFY(w.moveBusy);
        QCOMPARE(w.model.board.toString(), std::string("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16"));
        QVERIFY(w.timMain.isRunning());
        QCOMPARE(w.timMain.Interval(), 100);
        QList<int> lefts;
        for (int i = 0; i < 3; ++i) {
            w.timMain_Timer();
            lefts << tile->Left();
        }
        QCOMPARE(lefts, (QList<int>{400, 800, 1005}));
        QCOMPARE(tile->geometry().topLeft(), QPoint(67, 0));
    }

    void clickWhileSlidingIsDroppedAndAcceptedAfterwards()
    {
        frmMain& w = *m_game->window;
        // Gap right twice: board 2 3 1 4 ...; tile 3 (control 1) and tile 4 (control 3) sit beside it.
        std::deque<double> draws{0.0, 0.0};
        draws.insert(draws.end(), 298, 0.5);
        m_game->random->Script(draws);
        w.imgCmd_Click(2);
        QCOMPARE(w.model.board.toString(), std::string("2 3 1 4 5 6 7 8 9 10 11 12 13 14 15 16"));
        w.imgPanel_Click(1);                       // tile 3 slides right; the gap moves to (2, 1)
        const std::string afterFirst = w.model.board.toString();
        w.imgPanel_Click(0);                       // tile 2 is now next to the gap, but a slide runs
        QCOMPARE(w.model.board.toString(), afterFirst);
        for (int i = 0; i < 3; ++i)
            w.timMain_Timer();
        QVERIFY(!w.moveBusy);
        w.imgPanel_Click(0);
        QVERIFY(w.moveBusy);
        QCOMPARE(w.model.board.toString(), std::string("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16"));
    }

    void clicksAwayFromTheGapChangeNothing()
    {
        frmMain& w = *m_game->window;
        m_game->random->Script(OneSlideFromSolved());   // gap at (2, 1)
        w.imgCmd_Click(2);
        const std::string before = w.model.board.toString();
        for (int k : {4, 3, 15, 6}) {   // (1, 2) diagonal, (4, 1) two away, far corner, (3, 2) diagonal
            w.imgPanel_Click(k);
            QVERIFY2(!w.moveBusy, qPrintable(QString("control %1").arg(k)));
        }
        // A control's Tag only shows its tile: the board says which tile a click moves.
        w.imgPanel[4]->setTag(QStringLiteral("3"));   // control 4 shows tile 5, diagonal to the gap
        w.imgPanel_Click(4);
        QVERIFY(!w.moveBusy);
        QCOMPARE(w.model.board.toString(), before);
    }

    void animationOffJumpsInOneTickAndSwitchingMidSlideLandsExactly()
    {
        frmMain& w = *m_game->window;
        m_game->random->Script(OneSlideFromSolved());
        w.mAnimChk_Click(1);
        w.imgCmd_Click(2);
        QCOMPARE(w.slideStep, 1005);
        // Tile 6 (control 5) is below the gap at (2, 1): it jumps up a whole cell in one tick.
        w.imgPanel_Click(5);
        w.timMain_Timer();
        QVERIFY(!w.moveBusy);
        QCOMPARE(w.imgPanel[5]->Top(), 0);

        // Back down with animation, switched off halfway.
        w.mAnimChk_Click(0);
        w.imgPanel_Click(5);
        w.timMain_Timer();
        QCOMPARE(w.imgPanel[5]->Top(), 400);
        w.mAnimChk_Click(1);
        w.timMain_Timer();
        QVERIFY(!w.moveBusy);
        QCOMPARE(w.imgPanel[5]->Top(), 1005);
    }

    void lastSlideIntoPlaceEndsTheGame()
    {
        frmMain& w = *m_game->window;
        m_game->random->Script(OneSlideFromSolved());
        w.imgCmd_Click(2);
        w.timScore_Timer();
        w.imgPanel_Click(0);
        media_double::Reset();
        w.timMain_Timer();
        w.timMain_Timer();
        QVERIFY(w.picPuzzle->isEnabled());   // not before the slide has ended
        w.timMain_Timer();
        QCOMPARE(HiddenPanels(w), 0);
        QVERIFY(w.imgPanel[w.model.hiddenPanel]->isEnabledTo(w.picPuzzle));   // itself enabled; the board is not
        QVERIFY(!w.picPuzzle->isEnabled());
        QVERIFY(!w.timScore.isRunning());
        QCOMPARE(w.timScore.Interval(), 0);
        QCOMPARE(w.lblTime->text(), QString("00:00:01"));
        QVERIFY(!w.music->musicOn);
        QCOMPARE(media_double::Commands(), (Commands{"stop all", "play EndSound from 0"}));
    }

    void lastSlideAfterLeavingTheGameEndsNothing()
    {
        // "画像選択" chosen while the last tile is still sliding: the game was left, so the slide's
        // end neither plays the fanfare nor counts the picture nor asks for a name.
        frmMain& w = *m_game->window;
        m_game->random->Script(OneSlideFromSolved());
        w.imgCmd_Click(2);
        w.imgPanel_Click(0);
        w.timMain_Timer();
        w.mOrignal_Click();
        media_double::Reset();
        w.timMain_Timer();
        w.timMain_Timer();
        QVERIFY(!w.moveBusy);
        QVERIFY(media_double::Commands().empty());
        QVERIFY(w.fraSelect->isVisible());
        QVERIFY(!w.picPuzzle->isVisible());
        QVERIFY(!w.timScore.isRunning());
        QCOMPARE(w.ending->clearedFlags, decltype(w.ending->clearedFlags){});
        // The next game starts as usual.
        w.imgCmd_Click(2);
        QVERIFY(w.picPuzzle->isVisible() && w.picPuzzle->isEnabled());
        QVERIFY(w.timScore.isRunning());
    }

    void clockCountsTicksAndRestartsWithEachGame()
    {
        frmMain& w = *m_game->window;
        w.imgCmd_Click(2);
        QStringList shown;
        for (int i = 0; i < 60; ++i) {
            w.timScore_Timer();
            if (i == 0 || i == 59)
                shown << w.lblTime->text();
        }
        QCOMPARE(shown, (QStringList{"00:00:01", "00:01:00"}));
        w.imgCmd_Click(2);
        QCOMPARE(w.lblTime->text(), QString("00:00:00"));
        w.timScore_Timer();
        QCOMPARE(w.lblTime->text(), QString("00:00:01"));
    }

    void musicWatchRestartsOrStopsItself_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("musicOn");
        QTest::addColumn<bool>("replays");
        QTest::addColumn<bool>("watchGoesOn");
        QTest::newRow("still playing") << "playing" << true << false << true;
        QTest::newRow("ended during a game") << "stopped" << true << true << true;
        QTest::newRow("ended after the game") << "stopped" << false << false << false;
        QTest::newRow("unknown alias answers nothing") << "" << false << false << true;
        QTest::newRow("only the first seven letters count") << "stoppedXYZ" << true << true << true;
    }
    void musicWatchRestartsOrStopsItself()
    {
        QFETCH(QString, reply);
        QFETCH(bool, musicOn);
        QFETCH(bool, replays);
        QFETCH(bool, watchGoesOn);
        frmMain& w = *m_game->window;
        w.imgCmd_Click(2);
        w.music->musicOn = musicOn;
        if (!reply.isEmpty())
            media_double::StatusReplies()["MoveSound"] = reply.toStdString();
        media_double::Commands().clear();
        w.timSound_Timer();
        Commands expected{"status MoveSound mode "};
        if (replays)
            expected.push_back("play MoveSound from 0");
        QCOMPARE(media_double::Commands(), expected);
        QCOMPARE(w.timSound.isRunning(), watchGoesOn);
    }

    void pictureSelectionStopsClockAndMusic()
    {
        frmMain& w = *m_game->window;
        w.imgCmd_Click(2);
        w.optPic[3]->click();
        QCOMPARE(w.PictureClip.Tag(), QString("3"));
        media_double::Reset();
        w.mOrignal_Click();
        QVERIFY(!w.timScore.isRunning());
        QVERIFY(!w.timSound.isRunning());
        QVERIFY(w.lblTime->isHidden());
        QVERIFY(w.picPuzzle->isHidden());
        QVERIFY(w.fraSelect->isVisible());
        QVERIFY(w.optPic[1]->isChecked());
        QCOMPARE(w.PictureClip.Tag(), QString("1"));
        QCOMPARE(media_double::Commands(), (Commands{"stop all"}));

        // Already on picture 1 with the number cleared: the option handling runs again.
        w.PictureClip.setTag(QString());
        w.mOrignal_Click();
        QCOMPARE(w.PictureClip.Tag(), QString("1"));
    }

    void quitSilencesTheMediaOnce()
    {
        frmMain& w = *m_game->window;
        w.imgCmd_Click(2);
        media_double::Reset();
        w.imgCmd_Click(3);
        QCOMPARE(media_double::Commands(), (Commands{"stop all", "close all"}));
        w.close();
        QCOMPARE(media_double::Commands().size(), std::size_t(2));
    }

    void buttonsShowTheirHoverPictureOnlyUnderTheCursor()
    {
        frmMain& w = *m_game->window;
        const QImage normal[] = {{}, modCommon::GetResPic(bmp::kMenuButton, 0), modCommon::GetResPic(bmp::kStartButton, 0), modCommon::GetResPic(bmp::kEndButton, 0)};
        const QImage hover[] = {{}, modCommon::GetResPic(bmp::hover(bmp::kMenuButton), 0), modCommon::GetResPic(bmp::hover(bmp::kStartButton), 0),
                                 modCommon::GetResPic(bmp::hover(bmp::kEndButton), 0)};
        for (int over = 1; over <= 3; ++over) {
            QCursor::setPos(w.imgCmd[over]->mapToGlobal(w.imgCmd[over]->rect().center()));
            w.timCmd_Timer();
            for (int i = 1; i <= 3; ++i)
                QCOMPARE(w.imgCmd[i]->Picture(), i == over ? hover[i] : normal[i]);
        }
        // On the button's own edge the cursor does not count as over it.
        QCursor::setPos(w.imgCmd[2]->mapToGlobal(QPoint(0, 5)));
        w.timCmd_Timer();
        QCOMPARE(w.imgCmd[2]->Picture(), normal[2]);
        // The hover timer itself does the work, without any help.
        QCursor::setPos(w.imgCmd[3]->mapToGlobal(w.imgCmd[3]->rect().center()));
        QTRY_COMPARE_WITH_TIMEOUT(w.imgCmd[3]->Picture(), hover[3], 1000);
    }

    void aLeaveEventCountsOnlyWhereTheCursorIsUnknownOutside_data()
    {
        QTest::addColumn<bool>("readOutside");
        QTest::addColumn<bool>("hoverAfterLeave");
        // The pointer stays within the button's rectangle while a window covers it or a modal box
        // takes the pointer: the button is lit all the same.
        QTest::newRow("cursor read anywhere: the position alone counts") << true << true;
        // Wayland: the position goes stale once the pointer has left the program's windows.
        QTest::newRow("cursor read inside only: the leave event counts") << false << false;
    }
    void aLeaveEventCountsOnlyWhereTheCursorIsUnknownOutside()
    {
        QFETCH(bool, readOutside);
        QFETCH(bool, hoverAfterLeave);
        frmMain& w = *m_game->window;
        ImageControl& end = *w.imgCmd[3];
        const QImage normal = modCommon::GetResPic(bmp::kEndButton, 0);
        const QImage hover = modCommon::GetResPic(bmp::hover(bmp::kEndButton), 0);
        // This platform's own tick, or the same picture chosen on a screen that cannot read outside.
        const auto tick = [&] {
            if (readOutside)
                w.timCmd_Timer();
            else
                modCommon::showButtonPicture(end, bmp::kEndButton, CursorReadInsideOnly());
        };
        const QPoint inside = end.rect().center();
        QCursor::setPos(end.mapToGlobal(inside));
        tick();
        QCOMPARE(end.Picture(), hover);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&end, &leave);
        tick();
        QCOMPARE(end.Picture(), hoverAfterLeave ? hover : normal);
        QEnterEvent enter(inside, end.mapTo(&w, inside), end.mapToGlobal(inside));
        QApplication::sendEvent(&end, &enter);
        tick();
        QCOMPARE(end.Picture(), hover);
    }

private:
    QelForTests m_qel{QEL_LIBRARY};
    std::unique_ptr<StartedGame> m_game;
};

QTEST_MAIN(FrmMainTest)
#include "test_frmMain.moc"
