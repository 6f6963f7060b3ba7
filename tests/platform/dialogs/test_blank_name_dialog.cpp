// A name of spaces typed into the real open-file dialog counts as cancel, like the cancel button.
#include "OpenFileDialog.h"
#include "PrivateConfig.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QtTest>

class BlankNameDialogTest : public QObject {
    Q_OBJECT
private slots:
    void typedNameOfSpacesIsCancel_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("chosen");   // in the start folder; empty for cancel
        QTest::newRow("spaces") << "   " << "";
        QTest::newRow("spaces and the default extension") << "  .bmp" << "";
        QTest::newRow("a name, as a check on the typing") << "cat" << "cat.bmp";
    }
    void typedNameOfSpacesIsCancel()
    {
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        QTemporaryDir home;
        QVERIFY(home.isValid());
        qputenv("HOME", QFile::encodeName(home.path()));   // no Pictures folder: the dialog starts here
        UseConfigHome(home.filePath(".config"));

        dialogs::SetOpenFileAnswer({});   // the real dialog
        dialogs::OpenFileDialog dialog;
        dialog.setFilter(QStringLiteral("Bitmaps|*.bmp;*.dib|GIF|*.gif"));
        dialog.setDefaultExt(QStringLiteral(".bmp"));

        bool qtWidgetDialog = false;
        bool typedIn = false;
        bool stillOpen = false;
        QTimer::singleShot(0, [&] {
            auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (!shown)
                    shown = qobject_cast<QFileDialog*>(window);
            }
            if (!shown)
                return;
            qtWidgetDialog = shown->testOption(QFileDialog::DontUseNativeDialog);
            auto* name = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (name) {
                QTest::keyClicks(name, typed);
                typedIn = name->text() == typed;
                QTest::keyClick(name, Qt::Key_Return);   // as the player would
            }
            // A dialog that Enter did not close is closed here after a deadline, so the test ends.
            QTimer::singleShot(10000, shown, [&stillOpen, dialog = QPointer<QFileDialog>(shown)] {
                if (dialog && dialog->isVisible()) {
                    stillOpen = true;
                    dialog->reject();
                }
            });
        });
        const QString result = dialog.ShowOpen();
        QVERIFY2(qtWidgetDialog, "the dialog shown is not Qt's own widget dialog");
        QVERIFY2(typedIn, "the name could not be typed into the dialog");
        QVERIFY2(!stillOpen, "Enter did not close the dialog");
        QCOMPARE(result, chosen.isEmpty() ? QString() : home.filePath(chosen));
        QCOMPARE(dialog.FileName(), result);
    }
};

QTEST_MAIN(BlankNameDialogTest)
#include "test_blank_name_dialog.moc"
