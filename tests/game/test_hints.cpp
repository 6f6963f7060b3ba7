// Keyboard play, the hint's blink and its effect on records, and what a screen reader is told.
#include "DatabaseCache.h"
#include "HintController.h"
#include "Language.h"
#include "ImageControl.h"
#include "MessageBox.h"
#include "MediaRecorder.h"
#include "QelForTests.h"
#include "StartedGame.h"
#include "SettingsStore.h"
#include "frmMain.h"
#include "frmPreview.h"
#include "frmScore.h"
#include "frmScrName.h"

#include <QApplication>
#include <QLabel>
#include <QtTest>

namespace {

// Gap right twice: "2 3 1 4 / 5 6 7 8 / ..." with the gap at (3, 1).
std::deque<double> GapAtThirdColumn()
{
    std::deque<double> draws{0.0, 0.0};
    draws.insert(draws.end(), 298, 0.5);
    return draws;
}

// Small tile groups: their tables take milliseconds to build.
const solver::Partition kSmallGroups{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15}};

}  // namespace

class HintsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { language::install(); }   // English: registered under LANGUAGE=en

    void init()
    {
        qputenv("XDG_CACHE_HOME", m_cache.path().toUtf8());
        QFile::remove(settings::StorePath());   // an empty record: any finished game would beat it
        m_game = std::make_unique<StartedGame>();
        // The first H of a game asks whether to use hints at all: the player says yes.
        msgbox::SetResponder([](const msgbox::Request&) { return QMessageBox::Yes; });
    }

    void cleanup()
    {
        msgbox::SetResponder({});
        m_game.reset();
    }

    void arrowMovesTheTileOnTheArrowsOtherSide_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("movedTile");   // empty: nothing moves
        // Gap at (3, 1): left of it tile 3, right of it tile 4, below it tile 7, nothing above.
        QTest::newRow("left moves the tile right of the gap") << int(Qt::Key_Left) << "4";
        QTest::newRow("right moves the tile left of the gap") << int(Qt::Key_Right) << "3";
        QTest::newRow("up moves the tile below the gap") << int(Qt::Key_Up) << "7";
        QTest::newRow("down with no tile above does nothing") << int(Qt::Key_Down) << "";
        QTest::newRow("another key does nothing") << int(Qt::Key_Space) << "";
    }
    void arrowMovesTheTileOnTheArrowsOtherSide()
    {
        QFETCH(int, key);
        QFETCH(QString, movedTile);
        frmMain& w = *m_game->window;
        m_game->random->Script(GapAtThirdColumn());
        w.imgCmd_Click(2);
        const std::string before = w.model.board.toString();
        QTest::keyClick(&w, static_cast<Qt::Key>(key));
        if (movedTile.isEmpty()) {
            QVERIFY(!w.moveBusy);
            QCOMPARE(w.model.board.toString(), before);
            return;
        }
        QVERIFY(w.moveBusy);
        QCOMPARE(w.imgPanel[w.movePanel]->Tag(), movedTile);
        QCOMPARE(QString::number(w.model.board(3, 1)), movedTile);
    }

    void keysDoNothingOutsideAnOpenBoard_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("picture selection") << "selection";
        QTest::newRow("during a slide") << "sliding";
        QTest::newRow("after a solved game") << "solved";
    }
    void keysDoNothingOutsideAnOpenBoard()
    {
        QFETCH(QString, state);
        frmMain& w = *m_game->window;
        settings::SaveSetting("Puzzle", "SCORE", "HISCORE", "00:00:00");
        if (state != "selection") {
            m_game->random->Script(state == "solved" ? OneSlideFromSolved() : GapAtThirdColumn());
            w.imgCmd_Click(2);
            w.Form_KeyDown(state == "solved" ? Qt::Key_Right : Qt::Key_Left);
            QVERIFY(w.moveBusy);
            if (state == "solved") {
                for (int i = 0; i < 3; ++i)
                    w.timMain_Timer();
                QVERIFY(!w.picPuzzle->isEnabled());
            }
        }
        const std::string before = w.model.board.toString();
        const bool busy = w.moveBusy;
        for (int key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_H})
            w.Form_KeyDown(key);
        QCOMPARE(w.model.board.toString(), before);
        QCOMPARE(w.moveBusy, busy);
        QTest::qWait(50);
        QVERIFY(!w.hints->timHint.isRunning());
    }

    void hintBlinksTheFirstTileOfAShortestSolutionAndSetsNoRecord()
    {
        frmMain& w = *m_game->window;
        m_game->random->Script(OneSlideFromSolved());   // the only shortest solution: tile 2 slides right
        w.imgCmd_Click(2);
        QTest::keyClick(&w, Qt::Key_H);
        QTRY_VERIFY_WITH_TIMEOUT(w.hints->timHint.isRunning(), 5000);
        ImageControl* tile = w.imgPanel[0];
        QCOMPARE(tile->Tag(), QString("2"));
        QCOMPARE(w.model.board.toString(), std::string("2 1 3 4 5 6 7 8 9 10 11 12 13 14 15 16"));   // nothing moved
        QTRY_VERIFY_WITH_TIMEOUT(tile->isHidden(), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(!tile->isHidden(), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(!w.hints->timHint.isRunning(), 2000);
        QVERIFY(tile->isVisible());

        // Solving it now ends the game as usual, but the name entry never opens.
        bool nameEntryOpened = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                nameEntryOpened = true;
                modal->close();
            }
        });
        watch.start(50);
        media_double::Reset();
        w.imgPanel_Click(0);
        for (int i = 0; i < 3; ++i)
            w.timMain_Timer();
        QVERIFY(!w.picPuzzle->isEnabled());
        QVERIFY(w.lblEnd->isVisible());
        QCOMPARE(media_double::Commands(), (std::vector<std::string>{"stop all", "play EndSound from 0"}));
        QVERIFY(!nameEntryOpened);
        QCOMPARE(settings::GetSetting("Puzzle", "SCORE", "HISCORE"), QString());

        // The next game without a hint may set a record again.
        m_game->random->Script(OneSlideFromSolved());
        w.imgCmd_Click(2);
        QVERIFY(!w.hints->used());
        w.imgPanel_Click(0);
        for (int i = 0; i < 3; ++i)
            w.timMain_Timer();
        QVERIFY(nameEntryOpened);
    }

    void hintForAStaleBoardIsDropped()
    {
        frmMain& w = *m_game->window;
        m_game->random->Script(GapAtThirdColumn());
        w.imgCmd_Click(2);
        QSignalSpy answered(w.hints.get(), &HintController::answered);
        w.Form_KeyDown(Qt::Key_H);
        w.Form_KeyDown(Qt::Key_Left);   // the board changes before the answer comes
        QVERIFY(answered.wait(20000));  // the worker has answered...
        QVERIFY(!w.hints->timHint.isRunning());   // ...and the answer was dropped
        QVERIFY(!w.hints->used());
    }

    void withoutInstalledTablesTheCacheWaitsForTheFirstHint_data()
    {
        QTest::addColumn<bool>("hintAsked");
        QTest::newRow("a hint asked: built and kept in the cache") << true;
        QTest::newRow("no hint: the cache never touched, the window closes at once") << false;
    }
    void withoutInstalledTablesTheCacheWaitsForTheFirstHint()
    {
        QFETCH(bool, hintAsked);
        frmMain& w = *m_game->window;
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const std::filesystem::path cache = folder.filePath(QStringLiteral("cache")).toStdString();
        w.hints->startTables(cache, {folder.filePath(QStringLiteral("hint-tables.bin")).toStdString()}, kSmallGroups);
        const solver::BackgroundDatabases& tables = *w.hints->tables();
        // The start's step is over once the loader waits, or (wrongly) has done everything.
        QTRY_VERIFY_WITH_TIMEOUT(tables.waiting() || tables.finished(), 10000);
        QVERIFY(!tables.finished());
        QVERIFY(!std::filesystem::exists(cache));
        m_game->random->Script(OneSlideFromSolved());
        w.imgCmd_Click(2);
        if (!hintAsked) {
            m_game->window.reset();   // ends the waiting loader with the window
            QVERIFY(!std::filesystem::exists(cache));
            return;
        }
        QTest::keyClick(&w, Qt::Key_H);
        QTRY_VERIFY_WITH_TIMEOUT(tables.finished(), 10000);
        QVERIFY(tables.current());
        QVERIFY(std::filesystem::exists(solver::cacheFile(cache, kSmallGroups)));
        QTRY_VERIFY_WITH_TIMEOUT(w.hints->timHint.isRunning(), 5000);
    }

    void tilesButtonsAndThumbnailsHaveAccessibleNames()
    {
        frmMain& w = *m_game->window;
        QCOMPARE(w.imgCmd[2]->accessibleName(), QString("Start"));
        QVERIFY(!w.imgCmd[3]->accessibleDescription().isEmpty());
        QCOMPARE(w.imgSentaku[2]->accessibleName(), QString("Picture 2"));
        m_game->random->Script(GapAtThirdColumn());
        w.imgCmd_Click(2);
        // Control 0 shows tile 2, which stands at (1, 1): its own place is column 2, row 1.
        QCOMPARE(w.imgPanel[0]->accessibleName(), QString("Tile 2"));
        QCOMPARE(w.imgPanel[0]->accessibleDescription(),
                 QString("Piece from column 2, row 1 of the picture, now in column 1, row 1"));
        w.Form_KeyDown(Qt::Key_Left);   // tile 4 moves from (4, 1) to (3, 1)
        for (int i = 0; i < 3; ++i)
            w.timMain_Timer();
        QCOMPARE(w.imgPanel[3]->accessibleDescription(),
                 QString("Piece from column 4, row 1 of the picture, now in column 3, row 1"));

        // The picture buttons of the other windows say their commands too.
        frmPreview preview(QImage(64, 64, QImage::Format_RGB32), &w);
        frmScore score(&w);
        frmScrName name(*w.lblTime, &w);
        const QList<QPair<const QWidget*, QString>> buttons{
            {preview.findChild<QWidget*>("imgCmd"), "Close"}, {score.findChild<QWidget*>("imgCmd0"), "Clear"},
            {score.findChild<QWidget*>("imgCmd1"), "OK"},     {name.findChild<QWidget*>("imgCmd"), "OK"}};
        for (const auto& [button, text] : buttons) {
            QVERIFY(button);
            QCOMPARE(button->accessibleName(), text);
            QVERIFY(!button->accessibleDescription().isEmpty());
        }
    }

private:
    QelForTests m_qel{QEL_LIBRARY};
    QTemporaryDir m_cache;
    std::unique_ptr<StartedGame> m_game;
};

QTEST_MAIN(HintsTest)
#include "test_hints.moc"
