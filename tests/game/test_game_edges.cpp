// The game's own edges, each found by driving the real windows: outside text shown as markup,
// pictures smaller than the grid, and a click on the picture option already chosen.
#include "ImageControl.h"
#include "SettingsStore.h"
#include "WindowsTestSupport.h"
#include "frmScore.h"

#include <QAccessible>
#include <QLabel>
#include <QRadioButton>
#include <QtTest>

using namespace windows_test;

class GameEdgesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        QImage red(64, 64, QImage::Format_RGB32);
        red.fill(Qt::red);
        WriteFile(m_files.filePath("red.png"), Encode(red, "png"));
    }

    void storedTextShowsExactlyAsStored_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("time");
        QTest::newRow("bold tag") << "<b>Taro" << "00:01:00";
        QTest::newRow("entity") << "a&lt;b" << "00:01:00";
        QTest::newRow("ampersand and angle") << "Tom & <Jerry>" << "00:01:00";
        QTest::newRow("local picture") << QString("<img src=\"%1\">").arg(m_files.filePath("red.png")) << "00:01:00";
        QTest::newRow("marked-up time") << "Hanako" << "<i>00:02:00</i>";
    }
    // A hand-edited store can hold anything: the score window shows it as read, as the rendering and
    // a screen reader both tell (a label taken for markup renders tags, entities and local pictures).
    void storedTextShowsExactlyAsStored()
    {
        QFETCH(QString, name);
        QFETCH(QString, time);
        settings::SaveSetting("Puzzle", "SCORE", "HISCORE", time);
        settings::SaveSetting("Puzzle", "SCORE", "NAME", name);
        frmScore score(nullptr);
        score.show();
        QVERIFY(QTest::qWaitForWindowExposed(&score));
        for (QLabel* label : {score.lblName, score.lblTime}) {
            const QString expected = label == score.lblName ? name : time;
            QCOMPARE(label->text(), expected);
            QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(label);
            QVERIFY(reader);
            QCOMPARE(reader->text(QAccessible::Name), expected);
            const QImage shown = label->grab().toImage().convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    QVERIFY2(shown.pixel(x, y) != qRgb(255, 0, 0), "the label drew a local picture");
        }
    }

    void picturesSmallerThanTheGridAreRefused_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("1 x 1") << QSize(1, 1) << false;
        QTest::newRow("3 x 3") << QSize(3, 3) << false;
        QTest::newRow("3 x 40") << QSize(3, 40) << false;
        QTest::newRow("40 x 3") << QSize(40, 3) << false;
        QTest::newRow("4 x 4, the least") << QSize(4, 4) << true;
    }
    // A picture with fewer pixels than the grid has cells would start a game of empty tiles: it gets
    // the import message and the dialog again, like a file that is no picture.
    void picturesSmallerThanTheGridAreRefused()
    {
        QFETCH(QSize, size);
        QFETCH(bool, accepted);
        const auto game = StartWindowsGame();
        frmMain& w = *game->window;
        const QString file = m_files.filePath(QStringLiteral("small_%1x%2.png").arg(size.width()).arg(size.height()));
        WriteFile(file, Encode(Sixteenths(size.width(), size.height()), "png"));
        PlayerScript player;
        player.answers = {file};
        w.mInputPic_Click();
        QCOMPARE(player.log, (accepted ? QStringList{"dialog"} : QStringList{"dialog", "box", "dialog"}));
        QCOMPARE(w.timScore.isRunning(), accepted);
        QCOMPARE(w.picPuzzle->isVisible(), accepted);
    }

    // A failed import during picture selection leaves the picture number empty with the option still
    // chosen; a click on that option chooses its picture again, so solving it counts.
    void clickingTheChosenOptionRunsItsHandling()
    {
        const auto game = StartWindowsGame();
        frmMain& w = *game->window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(w.optPic[2], Qt::LeftButton);
        QCOMPARE(w.PictureClip.Tag(), QString("2"));
        WriteFile(m_files.filePath("letter.jpg"), QByteArray("Dear player,\nthis is not a picture.\n"));
        PlayerScript player;
        player.answers = {m_files.filePath("letter.jpg")};   // then cancel
        w.mInputPic_Click();
        QCOMPARE(player.log, (QStringList{"dialog", "box", "dialog"}));
        QCOMPARE(w.PictureClip.Tag(), QString());
        QVERIFY(w.optPic[2]->isChecked());

        QTest::mouseClick(w.optPic[2], Qt::LeftButton);
        QCOMPARE(w.PictureClip.Tag(), QString("2"));
        QCOMPARE(w.PictureClip.Picture(), w.imgSentaku[2]->Picture());
    }

private:
    QelForTests m_qel{QEL_LIBRARY};
    QTemporaryDir m_files;
};

QTEST_MAIN(GameEdgesTest)
#include "test_game_edges.moc"
