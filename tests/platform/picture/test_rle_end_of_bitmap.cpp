// A damaged RLE bitmap whose runs go on past its last row: only a copy that reaches the end-of-bitmap code loads.
#include "AppError.h"
#include "PictureFile.h"
#include "RleBmp.h"

#include <QImage>
#include <QtTest>

namespace {

constexpr int kSide = 16;

// Row 0 drawn, then a jump far past the last row (the decoder stops at the top row and goes on
// drawing there), then many long runs that overrun that row, then the end-of-bitmap code.
QByteArray RunsPastTheLastRow(int bits)
{
    QByteArray data;
    data += char(kSide);
    data += char(bits == 8 ? 1 : 0x11);
    data += QByteArray::fromHex("0000 0002 00c8");   // end of row; jump 0 right and 200 down
    for (int run = 0; run < 60; ++run) {
        const int index = run % 4;
        data += char(24);
        data += char(bits == 8 ? index : index << 4 | index);
    }
    data += QByteArray::fromHex("0001");
    const QList<QRgb> palette{qRgb(200, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 220), qRgb(240, 240, 0)};
    return picture_test::RleBmp(kSide, kSide, bits, palette, data);
}

}  // namespace

class RleEndOfBitmapTest : public QObject {
    Q_OBJECT
private slots:
    void cutOffCopiesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("whole");
        QTest::newRow("RLE8") << RunsPastTheLastRow(8);
        QTest::newRow("RLE4") << RunsPastTheLastRow(4);
    }
    void cutOffCopiesAreRefused()
    {
        QFETCH(QByteArray, whole);
        QCOMPARE(picture::LoadPicture(whole, "whole.bmp").size(), QSize(kSide, kSide));
        for (const auto& [part, of] : {std::pair{1, 2}, std::pair{9, 10}}) {
            const QByteArray cut = whole.left(whole.size() * part / of);
            const QString which = QStringLiteral("the first %1/%2").arg(part).arg(of);
            // Qt's reader alone takes the copy for a picture: only the framing walk stands in the way.
            QVERIFY2(!QImage::fromData(cut, "bmp").isNull(), qPrintable(which + " does not decode at all"));
            try {
                picture::LoadPicture(cut, "cut.bmp");
                QFAIL(qPrintable(which + " loaded as a whole picture"));
            } catch (const errors::AppError& e) {
                QCOMPARE(e.number(), errors::kInvalidPicture);
                QVERIFY2(QString::fromStdString(e.what()).contains("cut off"), e.what());
            }
        }
    }
};

QTEST_MAIN(RleEndOfBitmapTest)
#include "test_rle_end_of_bitmap.moc"
