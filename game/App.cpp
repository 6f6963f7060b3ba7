// The program's run: the single-instance check before any window, then the main window.
#include "App.h"

#include "AppError.h"
#include "Fonts.h"
#include "SingleInstance.h"
#include "UncaughtErrorReport.h"
#include "Version.h"
#include "frmMain.h"

#include <QIcon>

int runTavorin(int argc, char** argv, board::RandomSource& random)
{
    SingleInstance instance(QStringLiteral("tavorin"));
    if (instance.AnotherCopyRuns())
        return 0;

    errors::ReportingApplication app(argc, argv);
    // The name only, not a display name: Qt would add " — Tavorin" to every window's title.
    QApplication::setApplicationName(QLatin1String(version::kProductName));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(version::kMajor).arg(version::kMinor).arg(version::kRevision));
    QApplication::setQuitOnLastWindowClosed(false);
    fonts::installSubstitutions();
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
    window.hints->startTables();
    return app.exec();
}
