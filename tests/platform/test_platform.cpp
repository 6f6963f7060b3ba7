// Tests of the picture cutter, window timers, the single-instance lock and twips conversion.
#include "AppError.h"
#include "ImageControl.h"
#include "PictureClip.h"
#include "ScreenGeometry.h"
#include "SingleInstance.h"
#include "Twips.h"
#include "WindowTimer.h"

#include <QtTest>

namespace {

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

QImage indexedPicture(int shade)
{
    QImage image(16, 8, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(shade, shade, 255)});
    image.fill(1);
    return image;
}

}  // namespace

class PlatformTest : public QObject {
    Q_OBJECT
private slots:
    void cellsAreEqualAndTheRemainderIsDropped_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("cell");
        QTest::newRow("300 x 300") << QSize(300, 300) << QSize(75, 75);
        QTest::newRow("300 x 309, nine rows dropped") << QSize(300, 309) << QSize(75, 77);
        QTest::newRow("wide 1023 x 513") << QSize(1023, 513) << QSize(255, 128);
        QTest::newRow("smaller than the grid") << QSize(3, 3) << QSize(0, 0);
    }
    void cellsAreEqualAndTheRemainderIsDropped()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, cell);
        QImage image(picture, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                image.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
        picclip::PictureClip clip;
        clip.setPicture(image);
        clip.setRows(4);
        clip.setCols(4);
        for (int k = 0; k < 16; ++k) {
            const QImage c = clip.GraphicCell(k);
            QCOMPARE(c.isNull(), cell.isEmpty());
            if (!c.isNull())
                QCOMPARE(c.size(), cell);
            if (!cell.isEmpty()) {
                const QPoint origin((k % 4) * cell.width(), (k / 4) * cell.height());
                QCOMPARE(c.pixel(0, 0), image.pixel(origin));
                QCOMPARE(c.pixel(cell.width() - 1, cell.height() - 1),
                         image.pixel(origin + QPoint(cell.width() - 1, cell.height() - 1)));
            }
        }
    }

    void emptyPictureIsAcceptedAndCutsToEmptyCells()
    {
        picclip::PictureClip clip;
        clip.setPicture(QImage());
        clip.setRows(4);
        clip.setCols(4);
        QVERIFY(clip.Picture().isNull());
        QVERIFY(clip.GraphicCell(15).isNull());
    }

    void cellOutsideTheGridIsAnError()
    {
        picclip::PictureClip clip;
        clip.setRows(4);
        clip.setCols(4);
        QVERIFY_THROWS_EXCEPTION(errors::AppError, clip.GraphicCell(16));
        QVERIFY_THROWS_EXCEPTION(errors::AppError, clip.GraphicCell(-1));
        QVERIFY_THROWS_EXCEPTION(errors::AppError, clip.setRows(0));
    }

    void pictureAndTagComeBackUnchanged()
    {
        picclip::PictureClip clip;
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::red);
        clip.setPicture(image);
        clip.setRows(4);
        clip.setCols(4);
        (void)clip.GraphicCell(3);
        QCOMPARE(clip.Picture(), image);   // whole, not a cell
        clip.setTag(QStringLiteral("2"));
        QCOMPARE(clip.Tag(), QString("2"));
        clip.setTag(QString());
        QCOMPARE(clip.Tag(), QString());
    }

    void intervalZeroOrDisabledNeverFires()
    {
        WindowTimer zero(nullptr, 0, true);
        WindowTimer disabled(nullptr, 20, false);
        WindowTimer switchedOff(nullptr, 20, true);
        switchedOff.setEnabled(false);
        switchedOff.setInterval(0);
        int ticks = 0;
        for (WindowTimer* t : {&zero, &disabled, &switchedOff})
            connect(t, &WindowTimer::Timer, [&ticks] { ++ticks; });
        QTest::qWait(120);
        QCOMPARE(ticks, 0);
        QVERIFY(!zero.isRunning() && !disabled.isRunning() && !switchedOff.isRunning());
    }

    void shortIntervalsFireAtFrameGranularity()
    {
        WindowTimer timer(nullptr, 1, true);
        int ticks = 0;
        connect(&timer, &WindowTimer::Timer, [&ticks] { ++ticks; });
        QElapsedTimer clock;
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 10, 5000);
        // Ten ticks of a 1 ms timer take at least nine frame periods.
        QVERIFY2(clock.elapsed() >= 9 * WindowTimer::kGranularityMs - 2, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(timer.Interval(), 1);   // the requested interval is kept as set
    }

    void handlerIsNotReentered()
    {
        WindowTimer timer(nullptr, 16, true);
        int depth = 0;
        int maxDepth = 0;
        int ticks = 0;
        connect(&timer, &WindowTimer::Timer, [&] {
            ++ticks;
            maxDepth = std::max(maxDepth, ++depth);
            if (ticks == 1)
                QTest::qWait(100);   // a handler that runs a nested event loop
            --depth;
        });
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 3, 5000);
        QCOMPARE(maxDepth, 1);
    }

    void secondLockFailsWhileTheFirstIsHeld()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("game.lock");
        {
            SingleInstance first("game", path);
            QVERIFY(!first.AnotherCopyRuns());
            SingleInstance second("game", path);
            QVERIFY(second.AnotherCopyRuns());
        }
        SingleInstance afterRelease("game", path);
        QVERIFY(!afterRelease.AnotherCopyRuns());
    }

    void leftoverLockFileOfAnyContentDoesNotBlock_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbage") << QByteArray("\xff\xfe garbage \0\n12345", 18);
        QTest::newRow("pid of a dead process") << QByteArray("999999\nTavorin\nhost\n");
    }
    void leftoverLockFileOfAnyContentDoesNotBlock()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("game.lock");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        QElapsedTimer clock;
        clock.start();
        SingleInstance instance("game", path);
        QVERIFY(!instance.AnotherCopyRuns());
    }

    void twipsRoundToNearestPixelWithoutDrift()
    {
        QCOMPARE(screen::TwipsToPixels(1005), 67);
        QCOMPARE(screen::TwipsToPixels(400), 27);
        QCOMPARE(screen::TwipsToPixels(5316), 354);
        QCOMPARE(screen::TwipsToPixels(-400), -27);
        // Neighbouring rectangles share their edge.
        const QRect a = screen::TwipsRect(0, 0, 1005, 1005);
        const QRect b = screen::TwipsRect(1005, 0, 1005, 1005);
        QCOMPARE(a.right() + 1, b.left());
    }

    void imageControlRedrawsOnlyWhenThePixelsChange()
    {
        QWidget window;
        window.resize(100, 100);
        ImageControl control(&window);
        control.setGeometry(10, 10, 32, 16);
        PaintCounter counter;
        control.installEventFilter(&counter);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const auto paintsAfter = [&](const QImage& picture) {
            QCoreApplication::processEvents();
            counter.paints = 0;
            control.setPicture(picture);
            QCoreApplication::processEvents();
            return counter.paints;
        };
        QVERIFY(paintsAfter(indexedPicture(100)) > 0);
        QCOMPARE(paintsAfter(indexedPicture(100)), 0);   // a new object with the same pixels
        QCOMPARE(control.Picture(), indexedPicture(100));
        QVERIFY(paintsAfter(indexedPicture(101)) > 0);   // only the colour table differs
        QImage dot = indexedPicture(101);
        dot.setPixel(15, 7, 0);
        QVERIFY(paintsAfter(dot) > 0);                   // one pixel in the last corner
        QVERIFY(paintsAfter(QImage()) > 0);
        QCOMPARE(paintsAfter(QImage()), 0);
    }

    void cursorIsReadOncePerCursorRead()
    {
        const screen::Geometry& geometry = screen::System();
        QCursor::setPos(10, 20);
        QCOMPARE(geometry.CursorPos(), QPoint(10, 20));
        {
            const screen::CursorRead read;
            QCOMPARE(geometry.CursorPos(), QPoint(10, 20));
            QCursor::setPos(30, 40);
            QCOMPARE(geometry.CursorPos(), QPoint(10, 20));
            {
                const screen::CursorRead inner;
                QCOMPARE(geometry.CursorPos(), QPoint(10, 20));
            }
            QCOMPARE(geometry.CursorPos(), QPoint(10, 20));
        }
        QCOMPARE(geometry.CursorPos(), QPoint(30, 40));
        {
            const screen::CursorRead next;
            QCOMPARE(geometry.CursorPos(), QPoint(30, 40));
        }
    }
};

QTEST_MAIN(PlatformTest)
#include "test_platform.moc"
