// Picture selection: the start-up state, the option buttons and thumbnails, "画像選択" from every
// state, and pictures whose sides differ.
#include "CatalogueIds.h"
#include "ImageControl.h"
#include "PictureBox.h"
#include "WindowsTestSupport.h"
#include "frmPreview.h"
#include "modCommon.h"

#include <QLabel>
#include <QRadioButton>
#include <QtTest>

using namespace windows_test;

namespace {

using Commands = std::vector<std::string>;

// The tile pictures of the board, control by control.
QList<QImage> TilePictures(const frmMain& w)
{
    QList<QImage> pictures;
    for (const ImageControl* p : w.imgPanel)
        pictures.append(p->Picture());
    return pictures;
}

}  // namespace

class PictureSelectionTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_game = StartWindowsGame(); }
    void cleanup() { m_game.reset(); }

    void startUpShowsTheThreePicturesWithTheFirstCurrent()
    {
        frmMain& w = *m_game->window;
        const QStringList captions{"ひとり", "どらごん", "へび"};
        for (int n = 1; n <= 3; ++n) {
            QCOMPARE(w.imgSentaku[n]->Picture(), modCommon::GetResPic(qel::ids::bmp::picture(n), modCommon::kPictureBitmap));
            QCOMPARE(w.optPic[n]->text(), captions[n - 1]);
            QCOMPARE(w.optPic[n]->isChecked(), n == 1);
        }
        QVERIFY(!w.imgSentaku[1]->Picture().isNull());
        QCOMPARE(w.PictureClip.Picture(), w.imgSentaku[1]->Picture());
        QCOMPARE(w.PictureClip.Tag(), QString("1"));
        QVERIFY(w.fraSelect->isVisible());
        QVERIFY(w.picPuzzle->isHidden());
        QVERIFY(!w.mPreview->isEnabled());
        QVERIFY(!w.preview);
    }

    void optionsAndThumbnailsMakeTheirPictureCurrent_data()
    {
        QTest::addColumn<QString>("by");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        for (int to = 1; to <= 3; ++to) {
            const int from = to % 3 + 1;
            QTest::addRow("option %d, from %d", to, from) << "option" << from << to;
            QTest::addRow("thumbnail %d, from %d", to, from) << "thumbnail" << from << to;
        }
        QTest::newRow("thumbnail of the picture already chosen") << "thumbnail" << 2 << 2;
        QTest::newRow("option through the keyboard") << "arrow key" << 1 << 2;
    }
    void optionsAndThumbnailsMakeTheirPictureCurrent()
    {
        QFETCH(QString, by);
        QFETCH(int, from);
        QFETCH(int, to);
        frmMain& w = *m_game->window;
        QTest::mouseClick(w.optPic[from], Qt::LeftButton);
        QCOMPARE(w.PictureClip.Tag(), QString::number(from));
        // A number the handling must overwrite, so that a handling that did not run shows.
        w.PictureClip.setTag(QStringLiteral("x"));
        w.PictureClip.setPicture(QImage());
        media_double::Reset();

        if (by == "option") {
            QTest::mouseClick(w.optPic[to], Qt::LeftButton);
        } else if (by == "thumbnail") {
            QTest::mouseClick(w.imgSentaku[to], Qt::LeftButton);
            QCOMPARE(w.focusWidget(), w.optPic[to]);
        } else {
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            w.optPic[from]->setFocus();
            QTest::keyClick(w.optPic[from], Qt::Key_Down);
        }

        for (int n = 1; n <= 3; ++n)
            QCOMPARE(w.optPic[n]->isChecked(), n == to);
        QCOMPARE(w.PictureClip.Tag(), QString::number(to));
        QVERIFY(!w.PictureClip.Picture().isNull());
        QCOMPARE(w.PictureClip.Picture(), w.imgSentaku[to]->Picture());
        // Nothing else moves: the panel stays, no game starts, nothing plays.
        QVERIFY(w.fraSelect->isVisible());
        QVERIFY(w.picPuzzle->isHidden());
        QVERIFY(!w.timScore.isRunning());
        QVERIFY(media_double::Commands().empty());
    }

    void aSelectionTakesEffectAtTheNextStartOnly()
    {
        frmMain& w = *m_game->window;
        w.imgCmd_Click(2);
        QCOMPARE(TilesMismatch(w, w.imgSentaku[1]->Picture(), 0), QString());
        const QList<QImage> firstGame = TilePictures(w);

        w.mOrignal_Click();
        QTest::mouseClick(w.imgSentaku[3], Qt::LeftButton);
        QCOMPARE(TilePictures(w), firstGame);   // not cut yet

        w.imgCmd_Click(2);
        QCOMPARE(TilesMismatch(w, w.imgSentaku[3]->Picture(), 0), QString());
        QCOMPARE(w.PictureClip.Tag(), QString("3"));

        // The current picture stays through further games.
        w.imgCmd_Click(2);
        QCOMPARE(w.PictureClip.Picture(), w.imgSentaku[3]->Picture());
        QCOMPARE(TilesMismatch(w, w.imgSentaku[3]->Picture(), 0), QString());
    }

    void pictureSelectionAlwaysReturnsToPictureOne_data()
    {
        QTest::addColumn<int>("chosen");      // the option selected before
        QTest::addColumn<bool>("imported");   // a picture imported after choosing
        QTest::addColumn<bool>("playing");    // a game running when "画像選択" is chosen
        QTest::newRow("game on picture 2") << 2 << false << true;
        QTest::newRow("game on picture 3") << 3 << false << true;
        QTest::newRow("game on picture 1") << 1 << false << true;
        QTest::newRow("selection shown, picture 3 chosen") << 3 << false << false;
        QTest::newRow("after an import, option 1 selected") << 1 << true << true;
        QTest::newRow("after an import, option 2 selected") << 2 << true << true;
    }
    void pictureSelectionAlwaysReturnsToPictureOne()
    {
        QFETCH(int, chosen);
        QFETCH(bool, imported);
        QFETCH(bool, playing);
        frmMain& w = *m_game->window;
        QTest::mouseClick(w.imgSentaku[chosen], Qt::LeftButton);
        if (playing)
            w.imgCmd_Click(2);
        if (imported) {
            const QString file = m_files.filePath("own.png");
            WriteFile(file, Encode(Sixteenths(40, 40), "png"));
            PlayerScript player;
            player.answers = {file};
            w.mInputPic_Click();
            QCOMPARE(w.PictureClip.Tag(), QString());
            QCOMPARE(w.PictureClip.Picture().size(), QSize(40, 40));
        }
        for (int i = 0; i < 7; ++i)
            w.timScore_Timer();
        const QString shownTime = w.lblTime->text();
        media_double::Reset();

        w.mOrignal_Click();

        QVERIFY(w.optPic[1]->isChecked());
        QVERIFY(!w.optPic[2]->isChecked() && !w.optPic[3]->isChecked());
        QCOMPARE(w.PictureClip.Tag(), QString("1"));
        QCOMPARE(w.PictureClip.Picture(), w.imgSentaku[1]->Picture());
        QVERIFY(w.fraSelect->isVisible());
        QVERIFY(w.picPuzzle->isHidden());
        QVERIFY(w.picEnding->isHidden());
        QVERIFY(w.lblTime->isHidden());
        QVERIFY(!w.timScore.isRunning());
        QCOMPARE(w.timScore.Interval(), 0);
        QVERIFY(!w.timSound.isRunning());
        QCOMPARE(w.timSound.Interval(), 0);
        QCOMPARE(w.lblTime->text(), shownTime);   // the clock simply stops; nothing is recorded
        QCOMPARE(media_double::Commands(), (Commands{"stop all"}));
        QVERIFY(!w.mPreview->isEnabled());

        // A game started now is on picture 1 and counts for it when completed.
        w.imgCmd_Click(2);
        QCOMPARE(TilesMismatch(w, w.imgSentaku[1]->Picture(), 0), QString());
        QCOMPARE(w.PictureClip.Tag(), QString("1"));
    }

    void pictureSelectionClosesThePreviewAndDisablesItsEntry()
    {
        frmMain& w = *m_game->window;
        w.imgCmd_Click(2);
        QVERIFY(w.mPreview->isEnabled());
        w.mPreview->trigger();
        QPointer<frmPreview> preview = w.preview;
        QVERIFY(preview && preview->isVisible());

        w.mOrignal->trigger();
        QVERIFY(!preview || preview->isHidden());
        QVERIFY(!w.mPreview->isEnabled());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!preview);

        // Still disabled whatever is chosen in the panel; the next start enables it.
        QTest::mouseClick(w.imgSentaku[2], Qt::LeftButton);
        QVERIFY(!w.mPreview->isEnabled());
        w.imgCmd_Click(2);
        QVERIFY(w.mPreview->isEnabled());
    }

    void picturesWhoseSidesDifferAreStretched_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("wide, 80 x 48") << QSize(80, 48);
        QTest::newRow("tall, 48 x 96") << QSize(48, 96);
        QTest::newRow("sides not multiples of 4, 83 x 50") << QSize(83, 50);
    }
    // A built-in picture whose sides differ fills the square thumbnail and the square tiles whole:
    // each sixteenth is drawn corner to corner, neither cropped nor padded.
    void picturesWhoseSidesDifferAreStretched()
    {
        QFETCH(QSize, size);
        frmMain& w = *m_game->window;
        const QImage picture = Sixteenths(size.width(), size.height(), true);
        w.imgSentaku[2]->setPicture(picture);
        QTest::mouseClick(w.imgSentaku[2], Qt::LeftButton);
        w.imgCmd_Click(2);

        const QSize cell(size.width() / 4, size.height() / 4);
        QCOMPARE(TilesMismatch(w, picture, 0), QString());

        // On screen: every tile is square, its mark fills its top-left quarter and its colour the rest.
        for (ImageControl* panel : w.imgPanel) {
            if (panel->isHidden())
                continue;
            QCOMPARE(panel->Picture().size(), cell);
            QCOMPARE(panel->width(), panel->height());
            const QImage shown = panel->grab().toImage();
            const int s = shown.width();
            const QColor colour = CellColour(panel->Tag().toInt() - 1);
            auto at = [&](double fx, double fy) { return QColor(shown.pixel(int(fx * s), int(fy * s))); };
            QCOMPARE(at(0.1, 0.1), QColor::fromRgb(kMarkColour));
            for (auto [fx, fy] : {std::pair{0.5, 0.02}, {0.02, 0.5}, {0.5, 0.5}, {0.98, 0.98}, {0.4, 0.1}, {0.1, 0.4}})
                QVERIFY2(at(fx, fy) == colour, qPrintable(QString("tile %1 at %2, %3: %4 not %5").arg(panel->Tag()).arg(fx).arg(fy).arg(at(fx, fy).name(), colour.name())));
        }
        // The thumbnail too shows the whole picture over its square.
        const QImage thumb = w.imgSentaku[2]->grab().toImage();
        QCOMPARE(thumb.width(), thumb.height());
        const int s = thumb.width();
        QCOMPARE(QColor(thumb.pixel(s / 32, s / 32)), QColor::fromRgb(kMarkColour));
        QCOMPARE(QColor(thumb.pixel(s / 8, s / 8)), CellColour(0));
        if (size.width() % 4 == 0 && size.height() % 4 == 0)
            QCOMPARE(QColor(thumb.pixel(s - 2, s - 2)), CellColour(15));
    }

private:
    QelForTests m_qel{QEL_LIBRARY};
    std::unique_ptr<StartedGame> m_game;
    QTemporaryDir m_files;
};

QTEST_MAIN(PictureSelectionTest)
#include "test_picture_selection.moc"
