// The about window: what it shows, its version text, and the ways it does and does not close.
#include "ImageControl.h"
#include "Version.h"
#include "WindowsTestSupport.h"
#include "frmAbout.h"
#include "modCommon.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <optional>

using namespace windows_test;

namespace {

// Opens the about window from the menu and runs `act` on it once it shows. Returns whether it
// was still open after `act` (nothing when it never showed as the modal window); a window left
// open is then closed by the program so the test goes on.
std::optional<bool> OpenAboutAnd(frmMain& w, QPointer<frmAbout>& seen, const std::function<void(frmAbout&)>& act)
{
    std::optional<bool> stillOpen;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
        if (!about) {
            about = w.findChild<frmAbout*>();
            QWARN("the about window is not the active modal window");
            if (about)
                about->done(QDialog::Rejected);
            return;
        }
        seen = about;
        act(*about);
        stillOpen = about->isVisible();
        if (*stillOpen)
            about->done(QDialog::Rejected);
    });
    w.mVersion_Click();
    return stillOpen;
}

}  // namespace

class AboutWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_game = StartWindowsGame(); }
    void cleanup() { m_game.reset(); }

    void versionTextIsVerAndThreePlainNumbers_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("text");
        QTest::newRow("1.0.0") << 1 << 0 << 0 << "Ver.1.0.0";
        QTest::newRow("two-digit minor") << 2 << 10 << 3 << "Ver.2.10.3";
        QTest::newRow("no leading zeros, large revision") << 0 << 7 << 9999 << "Ver.0.7.9999";
    }
    void versionTextIsVerAndThreePlainNumbers()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, text);
        QCOMPARE(frmAbout::VersionText(major, minor, revision), text);
    }

    void showsTheProgramsTitleVersionAndCopyright()
    {
        frmMain& w = *m_game->window;
        QPointer<frmAbout> seen;
        struct Shown {
            QString caption, title, version, copyright;
            bool modal = false, mainBlocked = false, okDefault = false, iconSet = false, fixed = false;
            QWidget* owner = nullptr;
        } shown;
        const std::optional<bool> stillOpen = OpenAboutAnd(w, seen, [&](frmAbout& a) {
            shown = {a.windowTitle(), a.lblTitle->text(), a.lblVersion->text(), a.lblCopyright->text(),
                     a.isModal(), QApplication::activeModalWidget() == &a && !w.isActiveWindow(), a.cmdOK->isDefault(),
                     !a.imgIco->Picture().isNull() && !a.windowIcon().isNull(), a.minimumSize() == a.maximumSize(),
                     a.parentWidget()};
            QTest::mouseClick(a.cmdOK, Qt::LeftButton);
        });
        QVERIFY(stillOpen.has_value());
        QVERIFY(!*stillOpen);
        QVERIFY(seen.isNull());   // made afresh for each opening, gone once closed
        const QString product = QString::fromUtf8(version::kProductName);
        QVERIFY(!product.isEmpty());
        QCOMPARE(shown.title, product);
        QCOMPARE(shown.caption, product + "のﾊﾞｰｼﾞｮﾝ情報");
        QCOMPARE(shown.version, QString("Ver.1.0.0"));
        QCOMPARE(shown.copyright, QString::fromUtf8(version::kLegalCopyright));
        QVERIFY(!shown.copyright.isEmpty());
        QVERIFY(shown.modal);
        QVERIFY(shown.mainBlocked);
        QVERIFY(shown.okDefault);
        QVERIFY(shown.iconSet);
        QVERIFY(shown.fixed);
        QCOMPARE(shown.owner, &w);
    }

    void closesByItsButtonEnterAndEscButNotByTheCloseBox_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("closes");
        QTest::newRow("OK clicked") << "click" << true;
        QTest::newRow("Enter") << "return" << true;
        QTest::newRow("keypad Enter") << "enter" << true;
        QTest::newRow("Esc") << "escape" << true;
        QTest::newRow("close box, window menu or Alt+F4") << "window manager" << false;
    }
    void closesByItsButtonEnterAndEscButNotByTheCloseBox()
    {
        QFETCH(QString, how);
        QFETCH(bool, closes);
        frmMain& w = *m_game->window;
        QPointer<frmAbout> seen;
        const std::optional<bool> stillOpen = OpenAboutAnd(w, seen, [&](frmAbout& a) {
            if (how == "click")
                QTest::mouseClick(a.cmdOK, Qt::LeftButton);
            else if (how == "return")
                QTest::keyClick(&a, Qt::Key_Return);
            else if (how == "enter")
                QTest::keyClick(&a, Qt::Key_Enter, Qt::KeypadModifier);
            else if (how == "escape")
                QTest::keyClick(&a, Qt::Key_Escape);
            else
                CloseByWindowManager(a);
        });
        QVERIFY(stillOpen.has_value());
        QCOMPARE(*stillOpen, !closes);
        QVERIFY(seen.isNull());
        // Opened again, it is a new window and closes as before.
        QCOMPARE(OpenAboutAnd(w, seen, [](frmAbout& a) { QTest::keyClick(&a, Qt::Key_Escape); }), std::optional<bool>(false));
    }

private:
    QelForTests m_qel{QEL_LIBRARY};
    std::unique_ptr<StartedGame> m_game;
};

QTEST_MAIN(AboutWindowTest)
#include "test_about_window.moc"
