// The program's run: the single-instance check before any window, then the main window.
#include "App.h"

#include "AppError.h"
#include "Fonts.h"
#include "SingleInstance.h"
#include "UncaughtErrorReport.h"
#include "frmMain.h"

#include <QIcon>

int RunTavorin(int argc, char** argv, board::RandomSource& random)
{
    SingleInstance instance(QStringLiteral("tavorin"));
    if (instance.AnotherCopyRuns())
        return 0;

    errors::ReportingApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavorin"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tavorin"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QApplication::setQuitOnLastWindowClosed(false);
    fonts::InstallSubstitutions();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon_999.png")));

    frmMain window(random);
    try {
        window.Form_Load();
    } catch (const errors::AppError& e) {
        app.reportUncaught(e.number(), QString::fromStdString(e.what()));
        return errors::kUncaughtErrorExitStatus;
    } catch (const std::exception& e) {
        app.reportUncaught(errors::kUnknownErrorNumber, QString::fromLocal8Bit(e.what()));
        return errors::kUncaughtErrorExitStatus;
    }
    window.StartHintTables();
    return app.exec();
}
