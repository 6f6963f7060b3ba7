// Tests of the open-file dialog: the filter in Qt's form, the default extension, cancel, the start folder.
#include "OpenFileDialog.h"
#include "PrivateConfig.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QtTest>

#include <functional>

namespace {

// The game's filter, exactly as the import passes it.
const QString kGameFilter = QString::fromUtf8("ﾋﾞｯﾄﾏｯﾌﾟ(*.bmp,*.dib)|*.bmp;*.dib|GIFﾌｧｲﾙ(*.gif)|*.gif|JPEGﾌｧｲﾙ(*.jpg)|*.jpg");

// Answers every dialog with `chosen`, keeping what each was shown with.
struct ScriptedAnswer {
    QList<dialogs::OpenFileRequest> requests;
    QStringList chosen;

    dialogs::OpenFileAnswer hook()
    {
        return [this](const dialogs::OpenFileRequest& request) {
            requests.append(request);
            return chosen.isEmpty() ? QString() : chosen.takeFirst();
        };
    }
};

// Runs `act` on the real dialog once it is shown modally.
void WhenDialogShows(std::function<void(QFileDialog*)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            qFatal("no modal file dialog is showing");
        act(dialog);
    });
}

}  // namespace

class OpenFileDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
        qputenv("HOME", QFile::encodeName(m_home->path()));
        UseConfigHome(m_home->filePath(".config"));   // no user-dirs.dirs
        m_answer = ScriptedAnswer();
        dialogs::SetOpenFileAnswer(m_answer.hook());
    }

    void cleanup()
    {
        dialogs::SetOpenFileAnswer({});
    }

    void filterBecomesQtNameFilters_data()
    {
        QTest::addColumn<QString>("classic");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("the game's three choices")
            << kGameFilter
            << QStringList{QString::fromUtf8("ﾋﾞｯﾄﾏｯﾌﾟ(*.bmp,*.dib) (*.bmp *.dib)"), QString::fromUtf8("GIFﾌｧｲﾙ(*.gif) (*.gif)"),
                           QString::fromUtf8("JPEGﾌｧｲﾙ(*.jpg) (*.jpg)")};
        QTest::newRow("trailing bar") << "Pictures|*.png|" << QStringList{"Pictures (*.png)"};
        QTest::newRow("spaces and empty patterns") << "Mixed | *.png ; ;*.gif " << QStringList{"Mixed  (*.png *.gif)"};
        QTest::newRow("description without patterns dropped") << "A|*.a|B" << QStringList{"A (*.a)"};
        QTest::newRow("empty pair dropped") << "||A|*.a" << QStringList{"A (*.a)"};
        QTest::newRow("empty filter") << "" << QStringList{};
    }
    void filterBecomesQtNameFilters()
    {
        QFETCH(QString, classic);
        QFETCH(QStringList, expected);
        QCOMPARE(dialogs::QtNameFilters(classic), expected);
    }

    void defaultExtensionIsAddedToBareNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("expected");

        QTest::newRow("bare name") << "/p/cat" << ".bmp" << "/p/cat.bmp";
        QTest::newRow("extension without dot") << "/p/cat" << "bmp" << "/p/cat.bmp";
        QTest::newRow("own extension kept") << "/p/cat.jpg" << ".bmp" << "/p/cat.jpg";
        QTest::newRow("trailing dot kept") << "/p/cat." << ".bmp" << "/p/cat.";
        QTest::newRow("dot only in the folder") << "/p.d/cat" << ".bmp" << "/p.d/cat.bmp";
        QTest::newRow("blank name unchanged") << "   " << ".bmp" << "   ";
        QTest::newRow("no default extension") << "/p/cat" << "" << "/p/cat";
    }
    void defaultExtensionIsAddedToBareNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, ext);
        QFETCH(QString, expected);
        QCOMPARE(dialogs::WithDefaultExt(path, ext), expected);
    }

    void answerSeesTheSettingsAndTheDefaultExtensionIsApplied()
    {
        dialogs::OpenFileDialog dialog;
        dialog.setDialogTitle(QString::fromUtf8("画像取込"));
        dialog.setFilter(kGameFilter);
        dialog.setDefaultExt(".bmp");
        dialog.setFileName("");
        m_answer.chosen = QStringList{"/pictures/cat", "/pictures/dog.gif"};

        QCOMPARE(dialog.ShowOpen(), QString("/pictures/cat.bmp"));
        QCOMPARE(dialog.FileName(), QString("/pictures/cat.bmp"));
        QCOMPARE(dialog.ShowOpen(), QString("/pictures/dog.gif"));

        QCOMPARE(m_answer.requests.size(), 2);
        const dialogs::OpenFileRequest& shown = m_answer.requests.first();
        QCOMPARE(shown.title, QString::fromUtf8("画像取込"));
        QCOMPARE(shown.nameFilters, dialogs::QtNameFilters(kGameFilter));
        QCOMPARE(shown.defaultExt, QString(".bmp"));
        QCOMPARE(shown.fileName, QString());
        QCOMPARE(m_answer.requests[1].fileName, QString("/pictures/cat.bmp"));   // as left by the last showing
    }

    void cancelGivesTheEmptyText()
    {
        dialogs::OpenFileDialog dialog;
        dialog.setDefaultExt(".bmp");
        dialog.setFileName("/pictures/old.bmp");
        QCOMPARE(dialog.ShowOpen(), QString());   // the script has no answer: cancel
        QCOMPARE(dialog.FileName(), QString());

        m_answer.chosen = QStringList{"   "};   // a name of spaces is cancel too, never "   .bmp"
        QCOMPARE(dialog.ShowOpen(), QString());
    }

    void startsInPicturesThenHomeThenTheLastFolder()
    {
        dialogs::OpenFileDialog dialog;
        const QString pictures = m_home->filePath("Pictures");
        const QString elsewhere = m_home->filePath("elsewhere");
        QVERIFY(QDir().mkpath(elsewhere));
        m_answer.chosen = QStringList{"", "", elsewhere + "/cat.bmp", ""};

        dialog.ShowOpen();
        QVERIFY(QDir().mkpath(pictures));
        dialog.ShowOpen();
        dialog.ShowOpen();
        dialog.ShowOpen();

        QCOMPARE(m_answer.requests.size(), 4);
        QCOMPARE(m_answer.requests[0].directory, m_home->path());
        QCOMPARE(m_answer.requests[1].directory, pictures);
        QCOMPARE(m_answer.requests[2].directory, pictures);
        QCOMPARE(m_answer.requests[3].directory, elsewhere);
    }

    void realDialogShowsTheDescriptionsExactly()
    {
        dialogs::SetOpenFileAnswer({});
        dialogs::OpenFileDialog dialog;
        dialog.setDialogTitle(QString::fromUtf8("画像取込"));
        dialog.setFilter(kGameFilter);
        dialog.setDefaultExt(".bmp");

        QString title;
        QStringList shownChoices;
        QString folder;
        WhenDialogShows([&](QFileDialog* shown) {
            title = shown->windowTitle();
            folder = shown->directory().absolutePath();
            auto* choices = shown->findChild<QComboBox*>("fileTypeCombo");
            for (int i = 0; choices && i < choices->count(); ++i)
                shownChoices.append(choices->itemText(i));
            shown->reject();
        });
        QCOMPARE(dialog.ShowOpen(), QString());
        QCOMPARE(title, QString::fromUtf8("画像取込"));
        QCOMPARE(folder, m_home->path());
        QCOMPARE(shownChoices, (QStringList{QString::fromUtf8("ﾋﾞｯﾄﾏｯﾌﾟ(*.bmp,*.dib)"), QString::fromUtf8("GIFﾌｧｲﾙ(*.gif)"),
                                            QString::fromUtf8("JPEGﾌｧｲﾙ(*.jpg)")}));
    }

    void realDialogReturnsATypedNameWithTheDefaultExtension()
    {
        dialogs::SetOpenFileAnswer({});
        dialogs::OpenFileDialog dialog;
        dialog.setFilter(kGameFilter);
        dialog.setDefaultExt(".bmp");

        WhenDialogShows([](QFileDialog* shown) {
            auto* name = shown->findChild<QLineEdit*>("fileNameEdit");
            if (name)
                name->setText("not-there-yet");
            static_cast<QDialog*>(shown)->accept();   // the file dialog's own accept, as its Open button does
        });
        QCOMPARE(dialog.ShowOpen(), m_home->filePath("not-there-yet.bmp"));
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
    ScriptedAnswer m_answer;
};

QTEST_MAIN(OpenFileDialogTest)
#include "test_open_file_dialog.moc"
