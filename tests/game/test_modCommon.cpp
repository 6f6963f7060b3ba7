// Tests of the shared procedures: the cursor test on its edges for framed and borderless windows,
// resource ids that do not fit 16 bits, and the library's own errors passed on.
#include "AppError.h"
#include "PrivateConfig.h"
#include "QelInterface.h"
#include "Registry.h"
#include "modCommon.h"

#include <QtTest>

#include <functional>

namespace {

// A screen where the test puts the cursor and the window frame.
class FakeGeometry final : public screen::Geometry {
public:
    QPoint cursor;
    QRect outerTwips;
    QSize inner;
    QPoint CursorPos() const override { return cursor; }
    QRect OuterTwips(const QWidget&) const override { return outerTwips; }
    QSize InnerPixels(const QWidget&) const override { return inner; }
};

struct Raised {
    int number = 0;
    QString text;
};

Raised raisedBy(const std::function<void()>& call)
{
    try {
        call();
    } catch (const errors::AppError& error) {
        return {error.number(), QString::fromStdString(error.what())};
    }
    return {};
}

}  // namespace

class ModCommonTest : public QObject {
    Q_OBJECT
private slots:
    void cursorOverCountsOnlyStrictlyInside_data()
    {
        QTest::addColumn<QRect>("outerPixels");   // the window frame, converted to twips below
        QTest::addColumn<int>("extraTwipsX");     // twips beyond whole pixels on the frame's left
        QTest::addColumn<bool>("inContainer");
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<bool>("over");
        // Client 354 x 414, button at (134, 379) sized 89 x 36.
        const QRect borderless(100, 200, 354, 414);        // b = 0, c = 0: button at (234, 579) on screen
        QTest::newRow("borderless inside") << borderless << 0 << false << QPoint(235, 580) << true;
        QTest::newRow("borderless left edge") << borderless << 0 << false << QPoint(234, 590) << false;
        QTest::newRow("borderless top edge") << borderless << 0 << false << QPoint(250, 579) << false;
        QTest::newRow("borderless right edge") << borderless << 0 << false << QPoint(323, 590) << false;
        QTest::newRow("borderless bottom edge") << borderless << 0 << false << QPoint(250, 615) << false;
        QTest::newRow("borderless last pixel inside") << borderless << 0 << false << QPoint(322, 614) << true;
        const QRect framed(100, 200, 354 + 8, 414 + 8 + 23);   // b = 4, c = 23: button at (238, 606)
        QTest::newRow("framed left edge") << framed << 0 << false << QPoint(238, 620) << false;
        QTest::newRow("framed inside") << framed << 0 << false << QPoint(239, 607) << true;
        QTest::newRow("framed top edge") << framed << 0 << false << QPoint(250, 606) << false;
        QTest::newRow("framed bottom edge") << framed << 0 << false << QPoint(250, 642) << false;
        const QRect oddBorder(100, 200, 354 + 7, 414 + 7);      // b = 3 (halved toward zero), c = 1
        QTest::newRow("odd border halves down") << oddBorder << 0 << false << QPoint(237, 583) << false;
        QTest::newRow("odd border inside") << oddBorder << 0 << false << QPoint(238, 584) << true;
        // 1508 twips is 100.53 pixels: the left edge rounds to 235, not truncates to 234.
        QTest::newRow("edge rounds to nearest") << borderless << 8 << false << QPoint(235, 590) << false;
        QTest::newRow("edge rounds to nearest, inside") << borderless << 8 << false << QPoint(236, 590) << true;
        QTest::newRow("container offsets the control") << borderless << 0 << true << QPoint(255, 610) << true;
        QTest::newRow("container offset edge") << borderless << 0 << true << QPoint(254, 610) << false;
        const QRect farAway(70000, 40000, 354, 414);            // beyond the 16-bit range
        QTest::newRow("large desktop does not wrap") << farAway << 0 << false << QPoint(70135, 40380) << true;
        QTest::newRow("large desktop, outside") << farAway << 0 << false << QPoint(70134 - 65536, 40380 - 65536) << false;
    }
    void cursorOverCountsOnlyStrictlyInside()
    {
        QFETCH(QRect, outerPixels);
        QFETCH(int, extraTwipsX);
        QFETCH(bool, inContainer);
        QFETCH(QPoint, cursor);
        QFETCH(bool, over);

        QWidget window;
        window.resize(354, 414);
        QWidget frame(&window);
        frame.setGeometry(20, 30, 200, 200);
        QWidget button(inContainer ? &frame : &window);
        button.setGeometry(134, 379, 89, 36);

        FakeGeometry geometry;
        geometry.cursor = cursor;
        geometry.inner = QSize(354, 414);
        geometry.outerTwips = QRect(outerPixels.x() * 15 + extraTwipsX, outerPixels.y() * 15, outerPixels.width() * 15,
                                    outerPixels.height() * 15);
        QCOMPARE(modCommon::IsCursorOver(button, inContainer ? &frame : nullptr, geometry), over);
    }

    void idsBeyondSixteenBitsFailBeforeAnyObject()
    {
        // No library is registered here: an id that reached object creation would fail with
        // "cannot create", so the overflow error shows that the id was refused first.
        PrivateConfig config;
        QVERIFY(config.isValid());
        qputenv("XDG_CONFIG_DIRS", config.path().toUtf8());
        const auto errorOf = [](const std::function<void()>& call) {
            try {
                call();
            } catch (const errors::AppError& error) {
                return error.number();
            }
            return 0;
        };
        QCOMPARE(errorOf([] { modCommon::GetResStr(32768); }), errors::kOverflow);
        QCOMPARE(errorOf([] { modCommon::GetResStr(-32769); }), errors::kOverflow);
        QCOMPARE(errorOf([] { modCommon::GetResPic(65536 + 1, modCommon::kPictureBitmap); }), errors::kOverflow);
        // The edges of the range do reach creation.
        QCOMPARE(errorOf([] { modCommon::GetResStr(32767); }), errors::kCannotCreateObject);
        QCOMPARE(errorOf([] { modCommon::GetResPic(-32768, modCommon::kPictureBitmap); }), errors::kCannotCreateObject);
    }

    // A failure of the library other than "not found" reaches the caller as the library's own error:
    // its number and its text, not the resource-not-found error.
    void theLibrarysOwnErrorsArePassedOn()
    {
        PrivateConfig config;
        QVERIFY(config.isValid());
        qputenv("XDG_CONFIG_DIRS", config.path().toUtf8());
        const QString clsid = qel::kClsidQelRes.toString(QUuid::WithBraces).toUpper();
        QCOMPARE(component::registry::setValues(component::registry::userFile(),
                                                {{{"CLSID", clsid, "InprocServer32"}, {}, QStringLiteral(FAILING_QEL)}}),
                 component::hr::kOk);

        const Raised text = raisedBy([] { modCommon::GetResStr(7); });
        QCOMPARE(text.number, int(component::hr::kOutOfMemory));
        QVERIFY2(text.text.contains("out of memory"), qPrintable(text.text));
        const Raised picture = raisedBy([] { modCommon::GetResPic(1, modCommon::kPictureBitmap); });
        QCOMPARE(picture.number, 481);
        QVERIFY2(picture.text.contains("invalid picture"), qPrintable(picture.text));
    }
};

QTEST_MAIN(ModCommonTest)
#include "test_modCommon.moc"
