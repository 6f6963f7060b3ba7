// The ending: the solved-picture flags, the pause on a driven time of day, the scrolling
// frames, and what the player can do while they run.
#include "CatalogueIds.h"
#include "ImageControl.h"
#include "MediaRecorder.h"
#include "PictureBox.h"
#include "QelForTests.h"
#include "ScoreTestSupport.h"
#include "StartedGame.h"
#include "frmScrName.h"

#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QtTest>

#include <memory>

using scores::DrivenClock;
using scores::PlayOneGame;

namespace {

// A picture whose every pixel tells where it came from: red and green the row, blue the column.
QImage RowCoded(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(y & 0xFF, (y >> 8) & 0xFF, x & 0xFF));
    return image;
}

// The stage showing frame `frame`: the buffer's picture from row `frame` with its left edge at
// column `x`, black where the picture does not reach.
QImage ExpectedFrame(const QImage& picture, QSize stage, int x, int frame)
{
    QImage expected(stage, QImage::Format_RGB32);
    expected.fill(Qt::black);
    for (int cy = 0; cy < stage.height(); ++cy)
        for (int cx = 0; cx < stage.width(); ++cx) {
            const int sx = cx - x;
            const int sy = cy + frame;
            if (sx >= 0 && sx < picture.width() && sy < picture.height())
                expected.setPixel(cx, cy, picture.pixel(sx, sy));
        }
    return expected;
}

bool AllBlack(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0)
                return false;
    return !image.isNull();
}

// A picture of 4 x 4 plain cells, each of its own colour, none of them the board's background.
QImage CellColoured()
{
    QImage picture(300, 300, QImage::Format_RGB32);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            picture.setPixel(x, y, qRgb(x / 75 * 60, y / 75 * 60, 200));
    return picture;
}

QString Flags(const frmMain& w)
{
    QString flags;
    for (int n = 1; n <= 3; ++n)
        flags += w.ending->clearedFlags[n] ? '1' : '0';
    return flags;
}

}  // namespace

class EndingTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        // A best time nobody beats: no name entry opens unless a test wants one.
        scores::StoreRecord(QStringLiteral("00:00:00"), QStringLiteral("前の人"));
        m_clock = DrivenClock{};
        m_clock.ms = 12 * 3600 * 1000;
        m_game = std::make_unique<StartedGame>(5, [this](frmMain& w) { m_clock.DriveThePauseOf(w); });
    }
    void cleanup() { m_game.reset(); }

    // ---- The pause ----
    void pauseLastsTwoToThreeSecondsOfTheTimeOfDay_data()
    {
        QTest::addColumn<int>("second");   // time of day when the pause begins
        QTest::addColumn<int>("msIntoIt");
        QTest::newRow("start of a second") << 43200 << 0;
        QTest::newRow("end of a second") << 43200 << 999;
        QTest::newRow("a second before a full minute") << 59 << 500;
        QTest::newRow("late in the second before a full minute") << 119 << 999;
        QTest::newRow("a second before a full hour") << 3599 << 0;
        QTest::newRow("late in the second before a full hour") << 7199 << 990;
        QTest::newRow("a second before midnight") << 86399 << 0;
        QTest::newRow("late in the second before midnight") << 86399 << 999;
        QTest::newRow("two seconds before midnight") << 86398 << 500;
    }
    void pauseLastsTwoToThreeSecondsOfTheTimeOfDay()
    {
        QFETCH(int, second);
        QFETCH(int, msIntoIt);
        DrivenClock clock;
        clock.ms = qint64(second) * 1000 + msIntoIt;
        clock.step = 1;
        try {
            modCommon::ClockPause([&] { return clock.secondsOfDay(); }, [&] { clock.Wait(); });
        } catch (const std::runtime_error& e) {
            QFAIL(e.what());
        }
        QVERIFY2(clock.waited >= 2000 && clock.waited <= 3000, qPrintable(QString("%1 ms").arg(clock.waited)));
        // Whole seconds: the pause ends on the first look at the third second, not later.
        QCOMPARE(clock.waited, 3000 - msIntoIt);
    }

    // The window's thread is held: no timer, no posted event runs until the pause is over.
    void pauseHandlesNoEventsWhileItWaits()
    {
        int posted = 0;
        int ticks = 0;
        QTimer::singleShot(0, this, [&] { ++posted; });
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
        timer.start(1);
        int second = 100;
        int looks = 0;
        // The real wait between looks; the time of day moves a second every other look.
        modCommon::ClockPause([&] { return second + looks++ / 2; }, modCommon::shortWait);
        QCOMPARE(posted, 0);
        QCOMPARE(ticks, 0);
        QTRY_COMPARE(posted, 1);
    }

    // ---- Flags ----
    void onlyTheThirdDifferentBuiltInPictureStartsTheEnding_data()
    {
        // Each game's picture number (empty: an imported picture) and the flags after it; a "*"
        // marks the game after which the ending starts.
        QTest::addColumn<QStringList>("games");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("1, 1, 2") << QStringList{"1", "1", "2"} << QStringList{"100", "100", "110"};
        QTest::newRow("1, 1, 2 then 3") << QStringList{"1", "1", "2", "3"} << QStringList{"100", "100", "110", "000*"};
        QTest::newRow("any order") << QStringList{"3", "2", "3", "1"} << QStringList{"001", "011", "011", "000*"};
        QTest::newRow("imported pictures set nothing")
            << QStringList{"", "1", "", "2", "", "3", ""} << QStringList{"000", "100", "100", "110", "110", "000*", "000"};
        QTest::newRow("after an ending all three again")
            << QStringList{"1", "2", "3", "3", "2", "1"} << QStringList{"100", "110", "000*", "001", "011", "000*"};
    }
    void onlyTheThirdDifferentBuiltInPictureStartsTheEnding()
    {
        QFETCH(QStringList, games);
        QFETCH(QStringList, after);
        frmMain& w = *m_game->window;
        QStringList seen;
        for (const QString& number : games) {
            const int looksBefore = m_clock.looks;
            m_game->window->timEnding.setEnabled(false);   // an earlier ending's animation, stopped to tell them apart
            PlayOneGame(w, *m_game->random, number);
            QVERIFY(w.lblEnd->isVisibleTo(w.picPuzzle));   // every game shows "Game Clear"
            const bool paused = m_clock.looks > looksBefore;
            const bool started = w.timEnding.isRunning();
            QCOMPARE(paused, started);
            if (started) {
                QVERIFY(w.picEnding->isVisible());
                QVERIFY(w.picPuzzle->isHidden());
                QCOMPARE(w.ending->endFrame, 0);
                QCOMPARE(w.timEnding.Interval(), 1);
            } else {
                QVERIFY(w.picEnding->isHidden());
                QVERIFY(w.picPuzzle->isVisible());
            }
            seen << Flags(w) + (started ? "*" : "");
        }
        QCOMPARE(seen, after);
    }

    // A screenshot taken during the pause: the last tile is back, "Game Clear" is on the screen in
    // light blue, and the stage has not yet replaced the board; the flags are still set.
    void pauseShowsTheWholePictureAndGameClearBeforeTheStage()
    {
        frmMain& w = *m_game->window;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.ending->clearedFlags[1] = w.ending->clearedFlags[2] = true;
        w.imgSentaku[3]->setPicture(CellColoured());
        w.imgSentaku_Click(3);
        m_game->random->Script(scores::OneSlideFromSolved());
        w.imgCmd_Click(2);
        w.imgPanel_Click(0);
        w.timMain_Timer();
        w.timMain_Timer();
        QCoreApplication::processEvents();   // the screen shows the board before its last tick

        const auto grab = [&w] { return w.screen()->grabWindow(w.winId()).toImage().convertToFormat(QImage::Format_RGB32); };
        // Where each tile's colour can be read on the screen: inside the tile, off the text.
        const auto tileColours = [&w](const QImage& shot) {
            QList<QRgb> colours;
            for (int k = 0; k < 16; ++k) {
                const QRect tile = w.imgPanel[k]->geometry().translated(w.picPuzzle->pos());
                QPoint probe = tile.topLeft() + QPoint(6, 6);
                if (w.lblEnd->geometry().translated(w.picPuzzle->pos()).contains(probe))
                    probe = tile.bottomRight() - QPoint(6, 6);
                colours << (shot.pixel(probe) & 0xFFFFFF);
            }
            return colours;
        };
        const auto lightBluePixels = [&w](const QImage& shot) {
            const QRect text = w.lblEnd->geometry().translated(w.picPuzzle->pos());
            int count = 0;
            for (int y = text.top(); y <= text.bottom(); ++y)
                for (int x = text.left(); x <= text.right(); ++x)
                    count += (shot.pixel(x, y) & 0xFFFFFF) == (qRgb(0x80, 0x80, 0xFF) & 0xFFFFFF);
            return count;
        };
        QList<QRgb> solved;
        for (int k = 0; k < 16; ++k) {
            const int t = w.imgPanel[k]->Tag().toInt();
            solved << (qRgb((t - 1) % 4 * 60, (t - 1) / 4 * 60, 200) & 0xFFFFFF);
        }
        const QImage before = grab();
        QVERIFY2(tileColours(before) != solved, "the screen should not show the whole picture before the last tick");

        QImage during;
        bool stageDuring = true;
        bool boardDuring = false;
        QString flagsDuring;
        m_clock.onWait = [&] {
            if (!during.isNull())
                return;
            during = grab();
            stageDuring = w.picEnding->isVisible();
            boardDuring = w.picPuzzle->isVisible();
            flagsDuring = Flags(w);
        };
        w.timMain_Timer();
        QVERIFY(!during.isNull());
        QCOMPARE(tileColours(during), solved);
        QVERIFY2(lightBluePixels(during) > 20, "no light blue \"Game Clear\" on the screen during the pause");
        QCOMPARE(lightBluePixels(before), 0);
        QVERIFY(!stageDuring);
        QVERIFY(boardDuring);
        QCOMPARE(flagsDuring, QString("111"));
        QVERIFY(m_clock.waited >= 2000 && m_clock.waited <= 3000);

        QCOMPARE(Flags(w), QString("000"));
        QVERIFY(w.picEnding->isVisible());
        QVERIFY(w.picPuzzle->isHidden());
        QCOMPARE(w.lblEnd->text(), QString("Game Clear"));
    }

    // ---- Frames ----
    void framesScrollFromRowOneCentredAndStopBeforeTheLimit_data()
    {
        QTest::addColumn<int>("stageWidth");   // inner width in pixels; 0 keeps the laid-out one
        QTest::addColumn<int>("limit");        // 0 keeps the catalogue's
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("draws");
        QTest::newRow("catalogue") << 0 << 0 << 0 << 1199;
        QTest::newRow("wider stage, odd margin rounded down") << 321 << 0 << 10 << 1199;
        QTest::newRow("narrower stage clips both sides") << 280 << 30 << -10 << 29;
        QTest::newRow("limit 2: one frame") << 0 << 2 << 0 << 1;
        QTest::newRow("limit 1: no frame") << 0 << 1 << 0 << 0;
    }
    void framesScrollFromRowOneCentredAndStopBeforeTheLimit()
    {
        QFETCH(int, stageWidth);
        QFETCH(int, limit);
        QFETCH(int, x);
        QFETCH(int, draws);
        frmMain& w = *m_game->window;
        PlayToTheEnding();

        // What the trigger set up.
        QCOMPARE(w.ending->endFrame, 0);
        QCOMPARE(w.ending->endFrameLimit, 1200);
        QCOMPARE(w.picEndingBuf->Picture(), modCommon::GetResPic(qel::ids::bmp::kEndingStrip, modCommon::kPictureBitmap).convertToFormat(QImage::Format_RGB32));
        QCOMPARE(QSize(w.picEndingBuf->ScaleWidth(), w.picEndingBuf->ScaleHeight()), QSize(300, 1500));
        QCOMPARE(QSize(w.picEnding->ScaleWidth(), w.picEnding->ScaleHeight()), QSize(300, 300));
        QVERIFY2(AllBlack(w.picEnding->Canvas()), "the stage is black until the first tick");

        if (stageWidth)
            w.picEnding->setInnerSize(stageWidth, 300);
        if (limit)
            w.ending->endFrameLimit = limit;
        const QImage picture = RowCoded(300, 1500);
        w.picEndingBuf->setPicture(picture);
        const QSize stage(w.picEnding->ScaleWidth(), w.picEnding->ScaleHeight());
        const QPoint probe(std::max(x, 0) + 3, 0);   // a pixel of the stage's top row under the picture

        int ticks = 0;
        int drawn = 0;
        QRgb last = w.picEnding->Canvas().pixel(probe);
        while (w.timEnding.Enabled() && ticks < 5000) {
            w.timEnding_Timer();
            ++ticks;
            if (ticks == 1 && draws > 0)
                QCOMPARE(w.picEnding->Canvas(), ExpectedFrame(picture, stage, x, 1));
            const QRgb now = w.picEnding->Canvas().pixel(probe);
            if (now != last) {
                ++drawn;
                QCOMPARE(now, picture.pixel(probe.x() - x, w.ending->endFrame));
            }
            last = now;
        }
        QCOMPARE(w.ending->endFrame, w.ending->endFrameLimit);
        QCOMPARE(ticks, w.ending->endFrameLimit);
        QCOMPARE(drawn, draws);
        QVERIFY(!w.timEnding.isRunning());
        // The last frame stays on the stage.
        if (draws > 0)
            QCOMPARE(w.picEnding->Canvas(), ExpectedFrame(picture, stage, x, draws));
        else
            QVERIFY(AllBlack(w.picEnding->Canvas()));
    }

    void animationRunsToItsEndAfterTheStageIsLeft_data()
    {
        QTest::addColumn<QString>("leave");
        QTest::newRow("start command") << "start";
        QTest::newRow("picture selection") << "selection";
    }
    void animationRunsToItsEndAfterTheStageIsLeft()
    {
        QFETCH(QString, leave);
        frmMain& w = *m_game->window;
        PlayToTheEnding();
        const QImage picture = RowCoded(300, 1500);
        w.picEndingBuf->setPicture(picture);
        // The timer itself draws the frames.
        QTRY_VERIFY_WITH_TIMEOUT(w.ending->endFrame >= 3, 2000);

        if (leave == "start") {
            m_game->random->Script(scores::OneSlideFromSolved());
            w.imgCmd_Click(2);
            QVERIFY(w.picPuzzle->isVisible());
            QVERIFY(w.lblEnd->isHidden());
        } else {
            w.mOrignal_Click();
            QVERIFY(w.fraSelect->isVisible());
        }
        QVERIFY(w.picEnding->isHidden());
        QVERIFY(w.timEnding.isRunning());
        const int frame = w.ending->endFrame;
        while (w.timEnding.Enabled() && w.ending->endFrame < 5000)
            w.timEnding_Timer();
        QVERIFY(w.ending->endFrame > frame);
        QCOMPARE(w.ending->endFrame, 1200);
        QVERIFY(!w.timEnding.isRunning());
        // The hidden stage holds the last frame.
        QCOMPARE(w.picEnding->Canvas(), ExpectedFrame(picture, QSize(300, 300), 0, 1199));
    }

    // A record that completes the set: the ending has started when the name entry opens, and its
    // frames go on behind the modal window.
    void nameEntryOpensWithTheAnimationRunningBehindIt()
    {
        frmMain& w = *m_game->window;
        scores::StoreRecord(std::nullopt, std::nullopt);
        w.ending->clearedFlags[1] = w.ending->clearedFlags[2] = true;
        bool entered = false;
        bool stageShown = false;
        int frameAtOpen = -1;
        bool framesAdvanced = false;
        const scores::AnswerModal<frmScrName> answer([&](frmScrName* entry) {
            entered = entry->parentWidget() == &w;
            stageShown = w.picEnding->isVisible() && w.timEnding.isRunning();
            frameAtOpen = w.ending->endFrame;
            framesAdvanced = QTest::qWaitFor([&] { return w.ending->endFrame >= frameAtOpen + 3; }, 2000);
            entry->txtName->setText(QStringLiteral("全部"));
            QTest::mouseClick(entry->imgCmd, Qt::LeftButton);
        });
        PlayOneGame(w, *m_game->random, QStringLiteral("3"));
        QVERIFY(entered);
        QVERIFY(stageShown);
        QCOMPARE(frameAtOpen, 0);
        QVERIFY(framesAdvanced);
        QCOMPARE(scores::Stored(QStringLiteral("NAME")), QString("全部"));
        QCOMPARE(scores::Stored(QStringLiteral("HISCORE")), QString("00:00:00"));
    }

private:
    // Solves pictures 1 and 2, then 3: the ending starts with the last game.
    void PlayToTheEnding()
    {
        for (const char* number : {"1", "2", "3"})
            PlayOneGame(*m_game->window, *m_game->random, QString::fromLatin1(number));
        QVERIFY(m_game->window->timEnding.isRunning());
    }

    QelForTests m_qel{QEL_LIBRARY};
    std::unique_ptr<StartedGame> m_game;
    DrivenClock m_clock;
};

QTEST_MAIN(EndingTest)
#include "test_ending.moc"
