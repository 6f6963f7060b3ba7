// The preview window: its layout and resize rule, what it shows, its reuse, the closes it refuses
// and the ones it obeys, and the hover picture of its Close button.
#include "CatalogueIds.h"
#include "ImageControl.h"
#include "WindowsTestSupport.h"
#include "frmPreview.h"
#include "modCommon.h"

#include <QDialog>
#include <QtTest>

#include <cmath>

using namespace windows_test;

namespace {

QRect TwipsOf(const ImageControl& c)
{
    return QRect(c.Left(), c.Top(), c.Width(), c.Height());
}

QRect Rounded(const QRectF& r)
{
    auto n = [](double v) { return int(std::lround(v)); };
    return QRect(n(r.x()), n(r.y()), n(r.width()), n(r.height()));
}

// The layout the rule gives for the preview's present inner size, to the nearest twip.
std::pair<QRect, QRect> ExpectedLayout(const frmPreview& p)
{
    const frmPreview::Layout l = frmPreview::LayoutFor(screen::PixelsToTwips(p.width()), screen::PixelsToTwips(p.height()));
    return {Rounded(l.imgPrev), Rounded(l.imgCmd)};
}

}  // namespace

class PreviewWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_game = StartWindowsGame(); }
    void cleanup() { m_game.reset(); }

    void layoutSquareFollowsTheHeightOnly_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<QRectF>("picture");
        QTest::addColumn<QRectF>("button");
        // The laid-out size: 26 twips of the picture hidden beyond each side.
        QTest::newRow("design 2520 x 3072") << 2520.0 << 3072.0 << QRectF(-26, 0, 2572, 2572) << QRectF(855, 2627, 810, 390);
        QTest::newRow("wider than tall") << 5000.0 << 3000.0 << QRectF(1250, 0, 2500, 2500) << QRectF(2095, 2555, 810, 390);
        QTest::newRow("taller") << 4000.0 << 5000.0 << QRectF(-250, 0, 4500, 4500) << QRectF(1595, 4555, 810, 390);
        QTest::newRow("odd width keeps its half twip") << 2521.0 << 3072.0 << QRectF(-25.5, 0, 2572, 2572) << QRectF(855.5, 2627, 810, 390);
        QTest::newRow("just above the band") << 600.0 << 501.0 << QRectF(299.5, 0, 1, 1) << QRectF(-105, 56, 810, 390);
    }
    void layoutSquareFollowsTheHeightOnly()
    {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(QRectF, picture);
        QFETCH(QRectF, button);
        const frmPreview::Layout l = frmPreview::LayoutFor(width, height);
        QCOMPARE(l.imgPrev, picture);
        QCOMPARE(l.imgCmd, button);
    }

    void openingShowsTheWholeCurrentPictureBesideTheGame()
    {
        frmMain& w = *m_game->window;
        // An imported picture wider than tall: shown whole, stretched to the square.
        const QImage picture = Sixteenths(120, 48, true);
        WriteFile(m_files.filePath("wide.png"), Encode(picture, "png"));
        {
            PlayerScript player;
            player.answers = {m_files.filePath("wide.png")};
            w.mInputPic_Click();
        }
        w.mPreview->trigger();
        frmPreview* p = w.preview;
        QVERIFY(p);
        QVERIFY(p->isVisible());
        QVERIFY(!p->isModal());
        QCOMPARE(p->parentWidget(), &w);
        QVERIFY(w.isEnabled());
        QCOMPARE(p->windowTitle(), QString("プレビュー"));
        QCOMPARE(p->size(), QSize(screen::TwipsToPixels(2520), screen::TwipsToPixels(3072)));
        QCOMPARE(p->minimumSize(), p->maximumSize());
        QVERIFY(!(p->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(p->palette().color(p->backgroundRole()), modCommon::colorFromText(modCommon::GetResStr(qel::ids::str::kPreviewBackColor)));
        QVERIFY(!p->windowIcon().isNull());
        QVERIFY(p->timCmd.isRunning());
        QCOMPARE(p->timCmd.Interval(), 100);
        QCOMPARE(p->imgPrev->Picture(), picture);
        QCOMPARE(p->imgCmd->Picture(), modCommon::GetResPic(qel::ids::bmp::kCloseButton, modCommon::kPictureBitmap));
        const auto [square, button] = ExpectedLayout(*p);
        QCOMPARE(TwipsOf(*p->imgPrev), square);
        QCOMPARE(TwipsOf(*p->imgCmd), button);
        QCOMPARE(p->imgPrev->width(), p->imgPrev->height());

        const QImage shown = p->imgPrev->grab().toImage();
        const int s = shown.width();
        QCOMPARE(QColor(shown.pixel(s / 40, s / 40)), QColor::fromRgb(kMarkColour));
        QCOMPARE(QColor(shown.pixel(s / 5, s / 5)), CellColour(0));
        QCOMPARE(QColor(shown.pixel(s - 2, s - 2)), CellColour(15));
        QCOMPARE(QColor(shown.pixel(s - 2, 1)), CellColour(3));
    }

    void resizeLaysOutAgainOnlyAboveFiveHundredTwips_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<bool>("laidOut");
        QTest::newRow("larger") << QSize(300, 400) << true;
        QTest::newRow("wider than tall") << QSize(400, 150) << true;
        QTest::newRow("510 twips high") << QSize(168, 34) << true;
        QTest::newRow("495 twips high") << QSize(168, 33) << false;
        QTest::newRow("495 twips wide") << QSize(33, 400) << false;
    }
    void resizeLaysOutAgainOnlyAboveFiveHundredTwips()
    {
        QFETCH(QSize, pixels);
        QFETCH(bool, laidOut);
        frmMain& w = *m_game->window;
        w.imgCmd_Click(2);
        w.mPreview_Click();
        frmPreview& p = *w.preview;
        const QRect squareBefore = TwipsOf(*p.imgPrev);
        const QRect buttonBefore = TwipsOf(*p.imgCmd);

        p.setFixedSize(pixels);
        QTRY_COMPARE(p.size(), pixels);

        if (laidOut) {
            const auto [square, button] = ExpectedLayout(p);
            QCOMPARE(TwipsOf(*p.imgPrev), square);
            QCOMPARE(TwipsOf(*p.imgCmd), button);
            QVERIFY(square != squareBefore);
        } else {
            QCOMPARE(TwipsOf(*p.imgPrev), squareBefore);
            QCOMPARE(TwipsOf(*p.imgCmd), buttonBefore);
        }
    }

    // The close box, the window menu's Close and Alt+F4 all reach the window as the window
    // manager's close request.
    void theWindowManagersCloseIsRefused()
    {
        // The request is a real one: a window that does not refuse it closes.
        QDialog ordinary;
        ordinary.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ordinary));
        CloseByWindowManager(ordinary);
        QVERIFY(ordinary.isHidden());

        frmMain& w = *m_game->window;
        w.imgCmd_Click(2);
        w.mPreview_Click();
        QPointer<frmPreview> p = w.preview;
        QVERIFY(QTest::qWaitForWindowExposed(p.data()));
        for (int i = 0; i < 3; ++i)
            CloseByWindowManager(*p);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(p);
        QVERIFY(p->isVisible());
        QCOMPARE(w.preview.data(), p.data());
        // Esc is no way out either.
        QTest::keyClick(p.data(), Qt::Key_Escape);
        QVERIFY(p->isVisible());
    }

    void closesMadeByTheProgramGoAhead_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("its Close button") << "button";
        QTest::newRow("picture selection") << "selection";
        QTest::newRow("picture import") << "import";
    }
    void closesMadeByTheProgramGoAhead()
    {
        QFETCH(QString, how);
        frmMain& w = *m_game->window;
        w.imgCmd_Click(2);
        w.mPreview_Click();
        QPointer<frmPreview> p = w.preview;
        QVERIFY(p && p->isVisible());

        const QImage imported = Sixteenths(40, 40);
        if (how == "button") {
            QTest::mouseClick(p->imgCmd, Qt::LeftButton);
        } else if (how == "selection") {
            w.mOrignal_Click();
        } else {
            WriteFile(m_files.filePath("next.bmp"), Encode(imported, "bmp"));
            PlayerScript player;
            player.answers = {m_files.filePath("next.bmp")};
            w.mInputPic_Click();
        }
        QVERIFY(!p || p->isHidden());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!p);
        QVERIFY(!w.preview);

        // Opening it again (once a game runs) makes a new window on the picture current now.
        if (how == "selection")
            w.imgCmd_Click(2);
        w.mPreview_Click();
        QVERIFY(w.preview && w.preview->isVisible());
        QCOMPARE(w.preview->imgPrev->Picture(), how == "import" ? imported : w.imgSentaku[1]->Picture());
    }

    void reopeningShowsTheSameWindowWithoutReadingThePictureAgain()
    {
        frmMain& w = *m_game->window;
        w.imgCmd_Click(2);
        w.mPreview_Click();
        QPointer<frmPreview> first = w.preview;
        const QImage shown = first->imgPrev->Picture();
        QCOMPARE(shown, w.imgSentaku[1]->Picture());

        // The current picture changes behind the open window.
        w.optPic_Click(3);
        QCOMPARE(w.PictureClip.Picture(), w.imgSentaku[3]->Picture());
        first->hide();   // hidden by other means: still the same window
        w.mPreview_Click();
        QCOMPARE(w.preview.data(), first.data());
        QVERIFY(first->isVisible());
        QCOMPARE(first->imgPrev->Picture(), shown);

        // Another game on the same picture leaves it open and as it was.
        w.optPic_Click(1);
        w.imgCmd_Click(2);
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->imgPrev->Picture(), w.PictureClip.Picture());
        QCOMPARE(w.findChildren<frmPreview*>().size(), 1);
    }

    void closeButtonShowsItsHoverPictureUnderTheCursor()
    {
        frmMain& w = *m_game->window;
        w.imgCmd_Click(2);
        w.mPreview_Click();
        frmPreview& p = *w.preview;
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        const QImage normal = modCommon::GetResPic(qel::ids::bmp::kCloseButton, modCommon::kPictureBitmap);
        const QImage hover = modCommon::GetResPic(qel::ids::bmp::hover(qel::ids::bmp::kCloseButton), modCommon::kPictureBitmap);
        QVERIFY(normal != hover);

        QCursor::setPos(p.imgCmd->mapToGlobal(p.imgCmd->rect().center()));
        p.timCmd_Timer();
        QCOMPARE(p.imgCmd->Picture(), hover);
        QCursor::setPos(p.imgPrev->mapToGlobal(p.imgPrev->rect().center()));
        p.timCmd_Timer();
        QCOMPARE(p.imgCmd->Picture(), normal);
        // The window's own timer does it unaided.
        QCursor::setPos(p.imgCmd->mapToGlobal(p.imgCmd->rect().center()));
        QTRY_COMPARE_WITH_TIMEOUT(p.imgCmd->Picture(), hover, 1000);
    }

private:
    QelForTests m_qel{QEL_LIBRARY};
    QTemporaryDir m_files;
    std::unique_ptr<StartedGame> m_game;
};

QTEST_MAIN(PreviewWindowTest)
#include "test_preview_window.moc"
