// The uncaught-error report: an error leaving any handler is shown once and ends the program.
// A report ends its application for good, so CTest runs each data row in a process of its own.
#include "AppError.h"
#include "UncaughtErrorReport.h"
#include "WindowTimer.h"

#include <QPushButton>
#include <QtTest>

namespace {

struct Report {
    int number;
    QString text;
};

}  // namespace

class ErrorReportTest : public QObject {
    Q_OBJECT
private slots:
    void errorFromATimerHandlerIsReportedAndEndsTheProgram_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("application error") << 0 << 429 << "Cannot create object {F3CE2677}: not registered";
        QTest::newRow("standard exception") << 1 << errors::kUnknownErrorNumber << "vector::at";
        QTest::newRow("anything else") << 2 << errors::kUnknownErrorNumber << "原因のわからないエラー";
    }
    void errorFromATimerHandlerIsReportedAndEndsTheProgram()
    {
        QFETCH(int, kind);
        QFETCH(int, number);
        QFETCH(QString, text);
        auto* app = static_cast<errors::ReportingApplication*>(QCoreApplication::instance());
        QList<Report> reports;
        app->setPresenter([&](int n, const QString& t) { reports.append({n, t}); });

        QWidget window;
        window.show();
        WindowTimer failing(&window, 10, true);
        WindowTimer other(&window, 5, true);
        int otherTicks = 0;
        QObject::connect(&other, &WindowTimer::Timer, [&] { ++otherTicks; });
        QObject::connect(&failing, &WindowTimer::Timer, [&] {
            if (kind == 0)
                throw errors::AppError(429, "Cannot create object {F3CE2677}: not registered");
            if (kind == 1)
                throw std::out_of_range("vector::at");
            throw 42;
        });
        const int status = app->exec();
        QCOMPARE(status, errors::kUncaughtErrorExitStatus);
        QCOMPARE(reports.size(), 1);
        QCOMPARE(reports[0].number, number);
        QCOMPARE(reports[0].text, text);
        QVERIFY(!window.isEnabled());

        // The program is ending: no handler of the window runs any more.
        const int ticksAtReport = otherTicks;
        QTest::qWait(100);
        QCOMPARE(otherTicks, ticksAtReport);
        QCOMPARE(reports.size(), 1);
    }
};

int main(int argc, char** argv)
{
    errors::ReportingApplication app(argc, argv);
    ErrorReportTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_error_report.moc"
