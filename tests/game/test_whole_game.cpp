// One whole game in process: a fixed board solved by clicks, the end of the game, the name
// entry, the store and the score window, as the player meets them.
#include "ImageControl.h"
#include "MediaRecorder.h"
#include "QelForTests.h"
#include "ScoreTestSupport.h"
#include "frmScore.h"
#include "frmScrName.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include <memory>

using Commands = std::vector<std::string>;
using scores::Stored;

namespace {

// What the player sees while the name entry is up.
struct AtNameEntry {
    bool opened = false;
    bool modalOverTheGame = false;
    QString caption;
    Commands media;
    bool gameClearShown = false;
    QString endText;
    QColor endColour;
    bool wholePicture = false;
    bool boardFrozen = false;
    bool clockStopped = false;
};

// What the score window shows.
struct AtScore {
    bool opened = false;
    bool modalOverTheGame = false;
    QString name;
    QString time;
};

}  // namespace

class WholeGameTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        media_double::Reset();
    }

    void solvedGameIsRecordedAndShownInTheScoreWindow_data()
    {
        QTest::addColumn<QString>("bestBefore");   // empty: nothing stored
        QTest::addColumn<QString>("nameBefore");
        QTest::addColumn<int>("seconds");          // clock ticks before the solving click
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("record");
        QTest::newRow("first record on an empty store") << "" << "" << 7 << "  たろう " << true;
        QTest::newRow("beats the record by a second") << "00:00:08" << "前の人" << 7 << "次の人" << true;
        QTest::newRow("equals the record") << "00:00:07" << "前の人" << 7 << "" << false;
    }
    void solvedGameIsRecordedAndShownInTheScoreWindow()
    {
        QFETCH(QString, bestBefore);
        QFETCH(QString, nameBefore);
        QFETCH(int, seconds);
        QFETCH(QString, typed);
        QFETCH(bool, record);
        scores::StoreRecord(bestBefore.isEmpty() ? std::nullopt : std::optional<QString>(bestBefore),
                            nameBefore.isEmpty() ? std::nullopt : std::optional<QString>(nameBefore));

        ScriptedRandom random(scores::OneSlideFromSolved());   // a fixed board, one slide from solved
        frmMain w(random);
        w.Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(w.imgCmd[2], Qt::LeftButton);
        QVERIFY(w.picPuzzle->isVisible());
        for (int i = 0; i < seconds; ++i)
            w.timScore_Timer();
        QTest::mouseClick(w.imgPanel[0], Qt::LeftButton);   // tile "2", left of the gap
        w.timMain_Timer();
        w.timMain_Timer();
        QVERIFY(w.lblEnd->isHidden());   // the slide has not ended yet
        media_double::Reset();

        AtNameEntry seen;
        const scores::AnswerModal<frmScrName> answer([&](frmScrName* entry) {
            seen.opened = true;
            seen.modalOverTheGame = entry->isModal() && entry->parentWidget() == &w;
            seen.caption = entry->windowTitle();
            seen.media = media_double::Commands();
            seen.gameClearShown = w.lblEnd->isVisible();
            seen.endText = w.lblEnd->text();
            seen.endColour = w.lblEnd->palette().color(QPalette::WindowText);
            seen.wholePicture = std::all_of(w.imgPanel.begin(), w.imgPanel.end(), [](ImageControl* p) { return p->isVisible(); });
            seen.boardFrozen = !w.picPuzzle->isEnabled();
            seen.clockStopped = !w.timScore.isRunning();
            scores::Type(entry->txtName, typed);
            QTest::mouseClick(entry->imgCmd, Qt::LeftButton);
        });
        w.timMain_Timer();   // the slide ends and the game with it
        QCoreApplication::processEvents();

        const QString time = QStringLiteral("00:00:%1").arg(seconds, 2, 10, QLatin1Char('0'));
        QCOMPARE(w.lblTime->text(), time);
        QCOMPARE(media_double::Commands(), (Commands{"stop all", "play EndSound from 0"}));
        QVERIFY(w.lblEnd->isVisible());
        QCOMPARE(w.lblEnd->text(), QString("Game Clear"));
        QCOMPARE(w.lblEnd->palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0xFF));
        QCOMPARE(seen.opened, record);
        if (record) {
            QVERIFY(seen.modalOverTheGame);
            QCOMPARE(seen.caption, QString("記録"));
            QCOMPARE(seen.media, (Commands{"stop all", "play EndSound from 0"}));
            QVERIFY(seen.gameClearShown);
            QCOMPARE(seen.endText, QString("Game Clear"));
            QCOMPARE(seen.endColour, QColor(0x80, 0x80, 0xFF));
            QVERIFY(seen.wholePicture);
            QVERIFY(seen.boardFrozen);
            QVERIFY(seen.clockStopped);
        }
        const QString name = record ? typed : nameBefore;
        const QString best = record ? time : bestBefore;
        QCOMPARE(Stored(QStringLiteral("NAME")), name);
        QCOMPARE(Stored(QStringLiteral("HISCORE")), best);

        // The menu's score entry shows the record, modal over the game, until OK.
        AtScore score;
        const scores::AnswerModal<frmScore> answerScore([&](frmScore* window) {
            score.opened = true;
            score.modalOverTheGame = window->isModal() && window->parentWidget() == &w;
            score.name = window->lblName->text();
            score.time = window->lblTime->text();
            QTest::mouseClick(window->imgCmd[1], Qt::LeftButton);
        });
        w.mScore->trigger();
        QVERIFY(score.opened);
        QVERIFY(score.modalOverTheGame);
        QCOMPARE(score.name, name);
        QCOMPARE(score.time, best);
    }

private:
    QelForTests m_qel{QEL_LIBRARY};
};

QTEST_MAIN(WholeGameTest)
#include "test_whole_game.moc"
