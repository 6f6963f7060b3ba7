// The new-record check, the name entry and the score window, offscreen, with message boxes
// answered by the test.
#include "AppError.h"
#include "ImageControl.h"
#include "MediaRecorder.h"
#include "MessageBox.h"
#include "QelForTests.h"
#include "ScoreTestSupport.h"
#include "frmScore.h"
#include "frmScrName.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using scores::Store;
using scores::Stored;
using scores::StoreRecord;

namespace {

const QString kHiscore = QStringLiteral("HISCORE");
const QString kName = QStringLiteral("NAME");
const QString kAbsent = QStringLiteral("<absent>");   // a table value meaning "not stored"

std::optional<QString> Value(const QString& table)
{
    if (table == kAbsent)
        return std::nullopt;
    return table;
}

// Every message box shown, answered with `answer`.
struct BoxRecorder {
    QList<msgbox::Request> shown;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    std::function<void()> whileShown;

    BoxRecorder()
    {
        msgbox::SetResponder([this](const msgbox::Request& r) {
            shown << r;
            if (whileShown)
                whileShown();
            return answer;
        });
    }
    ~BoxRecorder() { msgbox::SetResponder({}); }
};

}  // namespace

class RecordWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QFile::remove(settings::StorePath());
        media_double::Reset();
        m_clock.setText(QStringLiteral("00:00:00"));
    }

    void cleanup() { msgbox::SetResponder({}); }

    // ---- New record ----
    void newRecordOnlyWhenStrictlyFaster_data()
    {
        QTest::addColumn<QString>("best");   // stored HISCORE
        QTest::addColumn<QString>("time");
        QTest::addColumn<bool>("record");
        QTest::newRow("a second faster than 00:10:00") << "00:10:00" << "00:09:59" << true;
        QTest::newRow("equal to 00:10:00") << "00:10:00" << "00:10:00" << false;
        QTest::newRow("a second slower than 00:10:00") << "00:10:00" << "00:10:01" << false;
        QTest::newRow("an hour up beats minutes") << "01:00:00" << "00:59:59" << true;
        QTest::newRow("minutes beat seconds") << "00:01:00" << "00:00:59" << true;
        QTest::newRow("nothing stored, 00:59:59") << kAbsent << "00:59:59" << true;
        QTest::newRow("nothing stored, 01:00:00") << kAbsent << "01:00:00" << false;
        QTest::newRow("nothing stored, 00:00:00") << kAbsent << "00:00:00" << true;
        QTest::newRow("nothing stored, past an hour") << kAbsent << "02:00:00" << false;
        QTest::newRow("cleared, 00:59:59") << "01:00:00" << "00:59:59" << true;
        QTest::newRow("cleared, 01:00:00") << "01:00:00" << "01:00:00" << false;
        QTest::newRow("stored empty, 00:59:59") << "" << "00:59:59" << true;
        QTest::newRow("stored empty, 01:00:00") << "" << "01:00:00" << false;
        QTest::newRow("all spaces, 00:59:59") << "        " << "00:59:59" << true;
        QTest::newRow("all spaces, 01:00:00") << "        " << "01:00:00" << false;
        QTest::newRow("all ideographic spaces, 00:59:59") << "\u3000\u3000\u3000" << "00:59:59" << true;
        QTest::newRow("all ideographic spaces, 01:00:00") << "\u3000\u3000\u3000" << "01:00:00" << false;
        QTest::newRow("mixed spaces, 00:59:59") << " \u3000 " << "00:59:59" << true;
        // A stored time is keyed as it stands: a leading space shifts its fields and keys it as 0.
        QTest::newRow("leading space keys the stored time as read") << " 00:10:00" << "00:00:01" << false;
    }
    void newRecordOnlyWhenStrictlyFaster()
    {
        QFETCH(QString, best);
        QFETCH(QString, time);
        QFETCH(bool, record);
        StoreRecord(Value(best), QStringLiteral("前の人"));
        ScriptedRandom random;
        QCOMPARE(frmMain(random).IsNewRecord(time), record);
        // Asking changes nothing in the store.
        QCOMPARE(Stored(kHiscore), best == kAbsent ? QString() : best);
    }

    // ---- Name entry ----
    void nameEntryRefusesABlankNameUntilOneIsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("nothing typed") << "";
        QTest::newRow("spaces") << "   ";
        QTest::newRow("ideographic spaces") << "\u3000\u3000";
        QTest::newRow("both kinds of space") << " \u3000 ";
    }
    void nameEntryRefusesABlankNameUntilOneIsTyped()
    {
        QFETCH(QString, typed);
        StoreRecord(QStringLiteral("00:30:00"), QStringLiteral("前の人"));
        m_clock.setText(QStringLiteral("00:12:34"));
        frmScrName entry(m_clock, nullptr);
        entry.show();
        QVERIFY(QTest::qWaitForWindowActive(&entry));
        scores::Type(entry.txtName, typed);
        QCOMPARE(entry.txtName->text(), typed);

        BoxRecorder boxes;
        boxes.whileShown = [&] { entry.txtName->clearFocus(); };   // the box takes the focus while it is up
        for (int attempt = 1; attempt <= 2; ++attempt) {
            QTest::mouseClick(entry.imgCmd, Qt::LeftButton);
            QCOMPARE(boxes.shown.size(), attempt);
            QVERIFY(entry.isVisible());
            QCOMPARE(entry.result(), int(QDialog::Rejected));
            QVERIFY(entry.txtName->hasFocus());
            QCOMPARE(Stored(kName), QString("前の人"));
            QCOMPARE(Stored(kHiscore), QString("00:30:00"));
        }
        const msgbox::Request& box = boxes.shown.first();
        QCOMPARE(box.text, QString("名前を入力してください。"));
        QCOMPARE(box.title, QString("ハイスコア"));
        QCOMPARE(box.icon, QMessageBox::Information);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

        // The player may try again: a name typed after the refusal is taken.
        QTest::keyClicks(entry.txtName, QStringLiteral("x"));
        QTest::mouseClick(entry.imgCmd, Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), 2);
        QVERIFY(!entry.isVisible());
        QCOMPARE(Stored(kName), typed + "x");
        QCOMPARE(Stored(kHiscore), QString("00:12:34"));
    }

    void nameEntryStoresTheNameAsTypedAndTheClockAtOk_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("clockAtOk");
        QTest::addColumn<bool>("byEnter");   // Enter in the name box instead of a click on OK
        QTest::newRow("spaces around a name") << "  山田  " << "00:09:59" << false;
        QTest::newRow("space inside") << "a b" << "00:00:00" << false;
        QTest::newRow("ideographic spaces around") << "\u3000名\u3000" << "00:59:59" << false;
        QTest::newRow("one character") << "z" << "00:00:01" << false;
        QTest::newRow("Enter in the box") << "Orca" << "00:00:03" << true;
    }
    void nameEntryStoresTheNameAsTypedAndTheClockAtOk()
    {
        QFETCH(QString, typed);
        QFETCH(QString, clockAtOk);
        QFETCH(bool, byEnter);
        frmScrName entry(m_clock, nullptr);
        entry.show();
        QVERIFY(QTest::qWaitForWindowActive(&entry));
        QVERIFY(entry.txtName->text().isEmpty());
        QVERIFY(entry.txtName->hasFocus());
        scores::Type(entry.txtName, typed);
        m_clock.setText(clockAtOk);   // the caption when OK is clicked is the one stored

        BoxRecorder boxes;
        if (byEnter)
            QTest::keyClick(entry.txtName, Qt::Key_Return);
        else
            QTest::mouseClick(entry.imgCmd, Qt::LeftButton);
        QVERIFY(boxes.shown.isEmpty());
        QVERIFY(!entry.isVisible());
        QCOMPARE(entry.result(), int(QDialog::Accepted));
        QCOMPARE(Stored(kName), typed);
        QCOMPARE(Stored(kHiscore), clockAtOk);
    }

    void nameEntryTakesAtMostTenCharacters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("ten latin letters") << "abcdefghij" << "abcdefghij";
        QTest::newRow("twelve latin letters") << "abcdefghijkl" << "abcdefghij";
        QTest::newRow("twelve full-width characters") << "山田太郎山田太郎山田太郎" << "山田太郎山田太郎山田";
        QTest::newRow("spaces count") << "   abcdefghij" << "   abcdefg";
    }
    void nameEntryTakesAtMostTenCharacters()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        frmScrName entry(m_clock, nullptr);
        entry.show();
        QVERIFY(QTest::qWaitForWindowActive(&entry));
        scores::Type(entry.txtName, typed);
        QCOMPARE(entry.txtName->text(), kept);
        QTest::mouseClick(entry.imgCmd, Qt::LeftButton);
        QCOMPARE(Stored(kName), kept);
    }

    // The store's size is capped between the file holding one entry and the file holding both, so
    // only the first write succeeds; the entry that made it to the store tells which came first.
    void nameEntryWritesTheNameBeforeTheTime()
    {
        const QString name = QStringLiteral("順番");
        m_clock.setText(QStringLiteral("00:00:42"));
        Store(kName, name);
        Store(kHiscore, m_clock.text());
        QFile full(settings::StorePath());
        const qint64 bothSize = full.size();
        QVERIFY(bothSize > 0);
        QFile::remove(settings::StorePath());

        frmScrName entry(m_clock, nullptr);
        entry.txtName->setText(name);
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit capped = saved;
        capped.rlim_cur = static_cast<rlim_t>(bothSize - 1);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &capped), 0);
        bool failed = false;
        try {
            entry.imgCmd_Click();
        } catch (const errors::AppError&) {
            failed = true;
        }
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY2(failed, "the second write should not fit under the cap");
        QCOMPARE(Stored(kName), name);
        QCOMPARE(Stored(kHiscore), QString());
    }

    // ---- Closing ----
    void recordWindowsCloseOnlyThroughTheirButtons_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("name entry") << "name";
        QTest::newRow("score") << "score";
    }
    void recordWindowsCloseOnlyThroughTheirButtons()
    {
        QFETCH(QString, window);
        StoreRecord(QStringLiteral("00:10:00"), QStringLiteral("前の人"));
        std::unique_ptr<QDialog> dialog;
        if (window == "name")
            dialog = std::make_unique<frmScrName>(m_clock, nullptr);
        else
            dialog = std::make_unique<frmScore>(nullptr);
        QSignalSpy finished(dialog.get(), &QDialog::finished);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));

        scores::CloseFromWindowManager(*dialog);
        QVERIFY2(dialog->isVisible(), "the close box closed the window");
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY2(dialog->isVisible(), "Esc closed the window");
        QCOMPARE(finished.count(), 0);

        // A close made by the program goes ahead, and stores nothing.
        QVERIFY(dialog->close());
        QVERIFY(!dialog->isVisible());
        QCOMPARE(Stored(kName), QString("前の人"));
        QCOMPARE(Stored(kHiscore), QString("00:10:00"));
    }

    // ---- Score window ----
    void scoreWindowShowsTheStoredRecord_data()
    {
        QTest::addColumn<QString>("time");   // stored HISCORE
        QTest::addColumn<QString>("name");   // stored NAME
        QTest::addColumn<QString>("shownName");
        QTest::addColumn<QString>("shownTime");
        QTest::newRow("nothing stored") << kAbsent << kAbsent << "名前なし" << "01:00:00";
        QTest::newRow("time only") << "00:12:34" << kAbsent << "名前なし" << "01:00:00";
        QTest::newRow("name only") << kAbsent << "山田" << "名前なし" << "01:00:00";
        QTest::newRow("empty time stored") << "" << "山田" << "名前なし" << "01:00:00";
        QTest::newRow("empty name stored") << "00:12:34" << "" << "名前なし" << "01:00:00";
        QTest::newRow("a record") << "00:12:34" << "山田" << "山田" << "00:12:34";
        QTest::newRow("spaces as the name") << "00:12:34" << "   " << "   " << "00:12:34";
        QTest::newRow("spaces as the time") << "   " << "山田" << "山田" << "   ";
        QTest::newRow("spaces kept around the name") << "00:00:07" << " 山田\u3000" << " 山田\u3000" << "00:00:07";
        QTest::newRow("a time of any form is shown as stored") << "abc" << "x" << "x" << "abc";
    }
    void scoreWindowShowsTheStoredRecord()
    {
        QFETCH(QString, time);
        QFETCH(QString, name);
        QFETCH(QString, shownName);
        QFETCH(QString, shownTime);
        StoreRecord(Value(time), Value(name));
        frmScore score(nullptr);
        QCOMPARE(score.windowTitle(), QString("スコア"));
        QCOMPARE(score.lblName->text(), shownName);
        QCOMPARE(score.lblTime->text(), shownTime);
    }

    void scoreButtonsCloseTheWindowAndClearOnlyOnYes_data()
    {
        QTest::addColumn<int>("button");   // 0 Clear, 1 OK
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("storedTime");
        QTest::addColumn<QString>("storedName");
        QTest::newRow("OK") << 1 << int(QMessageBox::NoButton) << false << "00:12:34" << " 山田 ";
        QTest::newRow("Clear answered No") << 0 << int(QMessageBox::No) << true << "00:12:34" << " 山田 ";
        QTest::newRow("Clear answered Yes") << 0 << int(QMessageBox::Yes) << true << "01:00:00" << "名前なし";
    }
    void scoreButtonsCloseTheWindowAndClearOnlyOnYes()
    {
        QFETCH(int, button);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(QString, storedTime);
        QFETCH(QString, storedName);
        StoreRecord(QStringLiteral("00:12:34"), QStringLiteral(" 山田 "));
        BoxRecorder boxes;
        boxes.answer = static_cast<QMessageBox::StandardButton>(answer);
        {
            frmScore score(nullptr);
            score.show();
            QVERIFY(QTest::qWaitForWindowExposed(&score));
            QTest::mouseClick(score.imgCmd[button], Qt::LeftButton);
            QVERIFY(!score.isVisible());
            // The window does not show the cleared values before it closes.
            QCOMPARE(score.lblName->text(), QString(" 山田 "));
            QCOMPARE(score.lblTime->text(), QString("00:12:34"));
        }
        QCOMPARE(boxes.shown.size(), asked ? 1 : 0);
        if (asked) {
            const msgbox::Request& box = boxes.shown.first();
            QCOMPARE(box.text, QString("スコアをクリアしてよろしいですか？"));
            QCOMPARE(box.title, QString("確認"));
            QCOMPARE(box.icon, QMessageBox::NoIcon);
            QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(box.defaultButton, QMessageBox::Yes);
        }
        QCOMPARE(Stored(kHiscore), storedTime);
        QCOMPARE(Stored(kName), storedName);

        // Opened again, the window shows what the store now holds.
        frmScore again(nullptr);
        QCOMPARE(again.lblName->text(), storedName);
        QCOMPARE(again.lblTime->text(), storedTime);
    }

private:
    QelForTests m_qel{QEL_LIBRARY};
    QLabel m_clock{QStringLiteral("00:00:00")};
};

QTEST_MAIN(RecordWindowsTest)
#include "test_record_windows.moc"
