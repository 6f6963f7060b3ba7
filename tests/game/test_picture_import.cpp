// Picture import: good files start a game on their picture, bad ones bring the message box and the
// dialog again, cancel changes nothing, and retrying never deepens the stack.
#include "CatalogueIds.h"
#include "ImageControl.h"
#include "PictureFile.h"
#include "WindowsTestSupport.h"
#include "frmPreview.h"
#include "modCommon.h"

#include <QLabel>
#include <QRadioButton>
#include <QtTest>

using namespace windows_test;

namespace {

const QString kNotRecognised = QStringLiteral("この画像ファイルは認識できません。\r\nもう一度画像ファイルを指定してください。");

struct Snapshot {
    QImage picture;
    QString number;
    std::string board;
    bool playing = false;
    bool selectionShown = false;
    int seconds = 0;
    bool previewOpen = false;
    QImage previewPicture;
};

Snapshot Take(const frmMain& w)
{
    Snapshot s;
    s.picture = w.PictureClip.Picture();
    s.number = w.PictureClip.Tag();
    s.board = w.model.board.toString();
    s.playing = w.timScore.isRunning() && w.picPuzzle->isVisible();
    s.selectionShown = w.fraSelect->isVisible();
    s.seconds = w.playSeconds;
    s.previewOpen = w.preview && w.preview->isVisible();
    if (w.preview)
        s.previewPicture = w.preview->imgPrev->Picture();
    return s;
}

}  // namespace

class PictureImportTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        const QImage picture = Sixteenths(64, 64);
        const QByteArray bmp = Encode(picture, "bmp");
        const QByteArray jpeg = Encode(Sixteenths(256, 256), "jpg");
        WriteFile(m_files.filePath("good.png"), Encode(picture, "png"));
        WriteFile(m_files.filePath("cut.bmp"), bmp.left(bmp.size() - 100));
        WriteFile(m_files.filePath("cut.jpg"), jpeg.left(jpeg.size() * 2 / 3));
        WriteFile(m_files.filePath("letter.jpg"), QByteArray("Dear player,\nthis is not a picture.\n"));
        WriteFile(m_files.filePath("empty.bmp"), QByteArray());
        QByteArray bomb = bmp;
        qToLittleEndian<qint32>(65535, bomb.data() + 18);
        qToLittleEndian<qint32>(65535, bomb.data() + 22);
        WriteFile(m_files.filePath("bomb.bmp"), bomb);
        QVERIFY(QDir(m_files.path()).mkdir("album.gif"));
    }

    void init() { m_game = StartWindowsGame(); }
    void cleanup() { m_game.reset(); }

    void cancelOrANameOfSpacesChangesNothing_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("state");
        for (const char* state : {"selection", "game with preview", "game on an imported picture"}) {
            QTest::addRow("cancel, %s", state) << QString() << state;
            QTest::addRow("spaces, %s", state) << QString("   ") << state;
        }
    }
    void cancelOrANameOfSpacesChangesNothing()
    {
        QFETCH(QString, answer);
        QFETCH(QString, state);
        frmMain& w = *m_game->window;
        QTest::mouseClick(w.imgSentaku[2], Qt::LeftButton);
        if (state != "selection") {
            if (state == "game on an imported picture") {
                PlayerScript first;
                first.answers = {m_files.filePath("good.png")};
                w.mInputPic_Click();
                QCOMPARE(w.PictureClip.Tag(), QString());
            } else {
                w.imgCmd_Click(2);
            }
            w.mPreview_Click();
            w.timScore_Timer();
        }
        const Snapshot before = Take(w);
        media_double::Reset();

        PlayerScript player;
        player.answers = {answer};
        w.mInputPic_Click();

        QCOMPARE(player.log, QStringList{"dialog"});
        const Snapshot after = Take(w);
        QCOMPARE(after.picture, before.picture);
        QCOMPARE(after.number, before.number);
        QCOMPARE(after.board, before.board);
        QCOMPARE(after.playing, before.playing);
        QCOMPARE(after.selectionShown, before.selectionShown);
        QCOMPARE(after.seconds, before.seconds);
        QCOMPARE(after.previewOpen, before.previewOpen);
        QCOMPARE(after.previewPicture, before.previewPicture);
        QVERIFY(media_double::Commands().empty());
    }

    void aGoodFileStartsAGameOnItsPicture_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("BMP") << "own.bmp" << QByteArray("bmp") << QSize(64, 64) << 0;
        QTest::newRow("BMP named .dib") << "own.dib" << QByteArray("bmp") << QSize(64, 64) << 0;
        QTest::newRow("GIF") << "own.gif" << QByteArray("gif") << QSize(64, 64) << 0;
        QTest::newRow("JPEG") << "own.jpg" << QByteArray("jpg") << QSize(128, 128) << 12;
        QTest::newRow("PNG") << "own.png" << QByteArray("png") << QSize(64, 64) << 0;
        QTest::newRow("PNG named .jpg") << "photo.jpg" << QByteArray("png") << QSize(64, 64) << 0;
        QTest::newRow("wide BMP, stretched") << "wide.bmp" << QByteArray("bmp") << QSize(120, 40) << 0;
        QTest::newRow("tall PNG, stretched") << "tall.png" << QByteArray("png") << QSize(36, 100) << 0;
    }
    void aGoodFileStartsAGameOnItsPicture()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QFETCH(QSize, size);
        QFETCH(int, tolerance);
        frmMain& w = *m_game->window;
        const QImage picture = Sixteenths(size.width(), size.height());
        const QString path = m_files.filePath(name);
        WriteFile(path, Encode(picture, format.constData()));
        QTest::mouseClick(w.imgSentaku[3], Qt::LeftButton);
        media_double::Reset();

        PlayerScript player;
        player.answers = {path};
        w.mInputPic_Click();

        QCOMPARE(player.log, QStringList{"dialog"});
        QCOMPARE(w.PictureClip.Tag(), QString());
        QCOMPARE(w.PictureClip.Picture().size(), size);
        // A game is under way on it.
        QVERIFY(w.fraSelect->isHidden());
        QVERIFY(w.picPuzzle->isVisible());
        QVERIFY(w.timScore.isRunning());
        QCOMPARE(w.lblTime->text(), QString("00:00:00"));
        QVERIFY(w.mPreview->isEnabled());
        QCOMPARE(media_double::Commands(), (std::vector<std::string>{"stop all", "play MoveSound from 0"}));
        QCOMPARE(TilesMismatch(w, picture, tolerance), QString());
        // The panel is left as it was.
        QVERIFY(w.optPic[3]->isChecked());
        for (int n = 1; n <= 3; ++n)
            QCOMPARE(w.imgSentaku[n]->Picture(), modCommon::GetResPic(qel::ids::bmp::picture(n), modCommon::kPictureBitmap));
    }

    void anUnrecognisedFileBringsTheMessageThenTheDialogAgain_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("BMP cut short") << "cut.bmp";
        QTest::newRow("JPEG cut short") << "cut.jpg";
        QTest::newRow("text named .jpg") << "letter.jpg";
        QTest::newRow("empty file") << "empty.bmp";
        QTest::newRow("BMP declaring 65535 x 65535") << "bomb.bmp";
        QTest::newRow("no such file") << "missing.gif";
        QTest::newRow("a folder") << "album.gif";
    }
    void anUnrecognisedFileBringsTheMessageThenTheDialogAgain()
    {
        QFETCH(QString, name);
        frmMain& w = *m_game->window;
        QTest::mouseClick(w.imgSentaku[2], Qt::LeftButton);
        const QImage current = w.PictureClip.Picture();

        PlayerScript player;
        player.answers = {m_files.filePath(name)};
        w.mInputPic_Click();

        QCOMPARE(player.log, (QStringList{"dialog", "box", "dialog"}));
        const msgbox::Request& box = player.boxes.at(0);
        QCOMPARE(box.text, kNotRecognised);
        QCOMPARE(box.title, QString("画像取込エラー"));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        for (const dialogs::OpenFileRequest& request : player.requests) {
            QCOMPARE(request.title, QString("画像取込"));
            QCOMPARE(request.nameFilters, ImportFilters());
            QCOMPARE(request.defaultExt, QString(".bmp"));
            QCOMPARE(request.fileName, QString());
            QCOMPARE(request.parent, &w);
        }
        // Cancelled after the failure: the previous picture stays, without its number.
        QCOMPARE(w.PictureClip.Picture(), current);
        QCOMPARE(w.PictureClip.Tag(), QString());
        QVERIFY(w.fraSelect->isVisible());
        QVERIFY(!w.timScore.isRunning());
    }

    void aFailureDuringAGameLeavesTheGameAndThePreview()
    {
        frmMain& w = *m_game->window;
        w.imgCmd_Click(2);
        w.mPreview_Click();
        w.timScore_Timer();
        const Snapshot before = Take(w);
        QVERIFY(before.previewOpen);

        PlayerScript player;
        player.answers = {m_files.filePath("cut.jpg"), m_files.filePath("letter.jpg")};
        w.mInputPic_Click();

        QCOMPARE(player.log, (QStringList{"dialog", "box", "dialog", "box", "dialog"}));
        const Snapshot after = Take(w);
        QCOMPARE(after.picture, before.picture);
        QCOMPARE(after.number, QString());
        QCOMPARE(after.board, before.board);
        QVERIFY(after.playing);
        QCOMPARE(after.seconds, before.seconds);
        QVERIFY(after.previewOpen);

        // Then a good file: the preview closes and the new game is on the new picture.
        QPointer<frmPreview> preview = w.preview;
        const QImage picture = Sixteenths(48, 48);
        WriteFile(m_files.filePath("late.png"), Encode(picture, "png"));
        player.answers = {m_files.filePath("late.png")};
        w.mInputPic_Click();
        QVERIFY(!preview || preview->isHidden());
        QCOMPARE(w.lblTime->text(), QString("00:00:00"));
        QCOMPARE(TilesMismatch(w, picture, 0), QString());
    }

    // However often the player picks a bad file, the dialog is answered from the same stack depth.
    void aHundredFailuresInARowKeepTheStackFlat()
    {
        frmMain& w = *m_game->window;
        PlayerScript player;
        player.repeatAnswer = m_files.filePath("letter.jpg");
        player.repeatCount = 101;
        w.mInputPic_Click();
        QCOMPARE(player.requests.size(), 101);
        QCOMPARE(player.boxes.size(), 100);
        QCOMPARE(player.dialogFrames.size(), std::size_t(1));
    }

    // A failure inside the start command that follows a good load is answered like a bad file: the
    // message, then the dialog again, with the new picture left current.
    void aFailureOfTheStartCommandBringsTheMessageThenTheDialogAgain()
    {
        frmMain& w = *m_game->window;
        QTest::mouseClick(w.imgSentaku[2], Qt::LeftButton);
        m_game->random->failWith = errors::kCannotCreateObject;
        WriteFile(m_files.filePath("new.png"), Encode(Sixteenths(40, 40), "png"));
        PlayerScript player;
        player.answers = {m_files.filePath("new.png")};
        w.mInputPic_Click();

        QCOMPARE(player.log, (QStringList{"dialog", "box", "dialog"}));
        QCOMPARE(player.boxes.at(0).text, kNotRecognised);
        QCOMPARE(player.boxes.at(0).title, QString("画像取込エラー"));
        QCOMPARE(player.requests.at(1).fileName, QString());
        QCOMPARE(w.PictureClip.Picture(), picture::LoadPicture(m_files.filePath("new.png")));
        QCOMPARE(w.PictureClip.Tag(), QString());
    }

private:
    QelForTests m_qel{QEL_LIBRARY};
    QTemporaryDir m_files;
    std::unique_ptr<StartedGame> m_game;
};

QTEST_MAIN(PictureImportTest)
#include "test_picture_import.moc"
