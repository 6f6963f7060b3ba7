// Playing without a mouse: the Tab order, the focus mark, the shortcuts, the hint's question, and
// what Qt's accessibility layer offers a screen reader (the bridge to AT-SPI reads exactly this).
#include "Accessibility.h"
#include "Accessibility.h"
#include "ImageControl.h"
#include "Language.h"
#include "MediaRecorder.h"
#include "MessageBox.h"
#include "QelForTests.h"
#include "StartedGame.h"
#include "frmMain.h"
#include "frmScrName.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

namespace {

QString nameOf(QWidget* w)
{
    if (!w)
        return QStringLiteral("(none)");
    const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    return name.isEmpty() ? w->objectName() : name;
}

}  // namespace

class KeyboardAccessTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { language::install(); }   // Japanese, and English in keyboard_access_english

    void init()
    {
        m_game = std::make_unique<StartedGame>();
        QVERIFY(QTest::qWaitForWindowActive(m_game->window.get()));
        m_questions.clear();
        msgbox::SetResponder([this](const msgbox::Request& request) {
            m_questions << request.title;
            return m_answer;
        });
    }

    void cleanup()
    {
        msgbox::SetResponder({});
        m_game.reset();
    }

    void tabVisitsTheButtonsThenThePictures()
    {
        frmMain& w = *m_game->window;
        w.setFocus();
        QStringList visited;
        for (int i = 0; i < 9; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << nameOf(QApplication::focusWidget());
        }
        QCOMPARE(visited, (QStringList{"Menu", "Start", "End", "ひとり", "画像1", "画像2", "画像3", "frmMain", "Menu"}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(nameOf(QApplication::focusWidget()), QString("画像3"));
        // Space on a thumbnail chooses its picture, as a click does.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(w.PictureClip.Tag(), QString("3"));
    }

    void focusedButtonShowsItsMouseOverPicture()
    {
        frmMain& w = *m_game->window;
        QCursor::setPos(w.mapToGlobal(QPoint(2, 2)));   // over the window, on no button
        w.timCmd_Timer();
        const QImage normal = w.imgCmd[2]->Picture();
        w.setFocus();
        QTest::keyClick(&w, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.imgCmd[2]);
        w.timCmd_Timer();
        QVERIFY2(w.imgCmd[2]->Picture() != normal, "the focused Start button shows its normal picture");
        QCOMPARE(w.imgCmd[1]->Picture().isNull(), false);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        w.timCmd_Timer();
        QCOMPARE(w.imgCmd[2]->Picture(), normal);
    }

    void shortcutsGoThroughTheButtonsHandlers()
    {
        frmMain& w = *m_game->window;
        QTest::keyClick(&w, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(w.timScore.isRunning());
        QVERIFY(w.picPuzzle->isVisible());
        m_game->random->Script({0.0, 0.25, 0.5, 0.75});
        QTest::keyClick(&w, Qt::Key_F2);
        QCOMPARE(w.lblTime->text(), QString("00:00:00"));
        QVERIFY(m_game->random->draws > 0);
        QTest::keyClick(&w, Qt::Key_F10);
        QTRY_VERIFY(w.mMenu->isVisible());
        // Below the Menu button, not at the pointer.
        QCOMPARE(w.mMenu->pos(), w.imgCmd[1]->mapToGlobal(QPoint(0, w.imgCmd[1]->height())));
        w.mMenu->close();
        media_double::Reset();
        QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(media_double::Commands(), (std::vector<std::string>{"stop all", "close all"}));
    }

    void firstHintOfAGameAsksOnce_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void firstHintOfAGameAsksOnce()
    {
        QFETCH(bool, yes);
        frmMain& w = *m_game->window;
        m_answer = yes ? QMessageBox::Yes : QMessageBox::No;
        w.imgCmd_Click(2);
        QSignalSpy answered(w.hints.get(), &HintController::answered);
        QTest::keyClick(&w, Qt::Key_H);
        QCOMPARE(m_questions, QStringList{"ヒント"});
        if (!yes) {
            QVERIFY(!w.hints->busy());   // no changes nothing: no question to the solver
            QVERIFY(!w.hints->used());
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(answered.count(), 1, 20000);
        QVERIFY(w.hints->used());
        QTRY_VERIFY(!w.hints->timHint.isRunning());
        QTest::keyClick(&w, Qt::Key_H);   // asked once a game
        QCOMPARE(m_questions.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(answered.count(), 2, 20000);
        w.imgCmd_Click(2);                // a new game asks again
        QTest::keyClick(&w, Qt::Key_H);
        QCOMPARE(m_questions.size(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(answered.count(), 3, 20000);
    }

    void buttonsAndTilesArePressableForAScreenReader()
    {
        frmMain& w = *m_game->window;
        QAccessibleInterface* start = QAccessible::queryAccessibleInterface(w.imgCmd[2]);
        QCOMPARE(start->role(), QAccessible::Button);
        QCOMPARE(start->text(QAccessible::Name), QString("Start"));
        QVERIFY(start->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        start->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(w.timScore.isRunning());

        QAccessibleInterface* board = QAccessible::queryAccessibleInterface(w.picPuzzle);
        QCOMPARE(board->role(), QAccessible::Table);
        QAccessibleTableInterface* table = board->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 4);
        QCOMPARE(table->columnCount(), 4);
        QCOMPARE(board->childCount(), 15);   // the hidden tile is no tile
        int empty = 0;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                QAccessibleInterface* cell = table->cellAt(r, c);
                if (!cell) {
                    ++empty;
                    QCOMPARE(r + 1, int(w.model.gapRow));
                    QCOMPARE(c + 1, int(w.model.gapCol));
                    continue;
                }
                QCOMPARE(cell->role(), QAccessible::Button);
                QVERIFY(cell->text(QAccessible::Name).startsWith("タイル"));
                QCOMPARE(cell->tableCellInterface()->rowIndex(), r);
                QCOMPARE(cell->tableCellInterface()->columnIndex(), c);
                QVERIFY2(cell->text(QAccessible::Description).endsWith(QStringLiteral("いまは%1列%2行目").arg(c + 1).arg(r + 1)),
                         qPrintable(cell->text(QAccessible::Description)));
            }
        QCOMPARE(empty, 1);

        // Pressing the tile beside the gap moves it, as a click does.
        const int column = w.model.gapCol < 4 ? w.model.gapCol + 1 : w.model.gapCol - 1;
        const std::string before = w.model.board.toString();
        QAccessibleInterface* neighbour = table->cellAt(w.model.gapRow - 1, column - 1);
        neighbour->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(w.model.board.toString() != before);
    }

    void nameBoxIsLabelledByItsCaption()
    {
        QLabel clock(QStringLiteral("00:01:00"));
        frmScrName name(clock, nullptr);
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(name.txtName);
        const auto labels = box->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first().first->text(QAccessible::Name), QString("お名前"));
    }

    void sentencesInThePlayersLanguage_data()
    {
        using namespace accessibility;
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("japanese");
        QTest::addColumn<QString>("english");
        const board::Board dealt = board::Board::fromString("3 1 2 4 5 6 7 8 9 10 11 12 13 14 16 15");
        QTest::newRow("slide") << slideSentence(7, {3, 2}) << "7、2行3列" << "7, row 2, column 3";
        QTest::newRow("board") << boardReading(dealt) << "1行目：3、空き、2、4。2行目：5、6、7、8。3行目：9、10、11、12。4行目：13、14、16、15"
                               << "row 1: 3, gap, 2, 4; row 2: 5, 6, 7, 8; row 3: 9, 10, 11, 12; row 4: 13, 14, 16, 15";
        QTest::newRow("clock") << clockSentence("00:01:05") << "タイム 00:01:05" << "Time 00:01:05";
        QTest::newRow("game clear") << clearSentence("Game Clear", "00:01:05") << "Game Clear、タイム 00:01:05" << "Game Clear, time 00:01:05";
        for (auto [way, ja, en] : {std::tuple{board::Direction::Right, "右", "right"}, {board::Direction::Left, "左", "left"},
                                   {board::Direction::Up, "上", "up"}, {board::Direction::Down, "下", "down"}})
            QTest::addRow("hint %s", en) << hintSentence(12, way) << QStringLiteral("ヒント：12を%1へ").arg(ja) << QStringLiteral("Hint: slide 12 %1").arg(en);
    }
    void sentencesInThePlayersLanguage()
    {
        QFETCH(QString, sentence);
        QFETCH(QString, japanese);
        QFETCH(QString, english);
        QCOMPARE(sentence, language::current() == language::Choice::English ? english : japanese);
    }

private:
    QelForTests m_qel{QEL_LIBRARY};
    std::unique_ptr<StartedGame> m_game;
    QStringList m_questions;
    QMessageBox::StandardButton m_answer = QMessageBox::Yes;
};

QTEST_MAIN(KeyboardAccessTest)
#include "test_keyboard_access.moc"
