// The program's run: the single-instance check before any window, then the main window.
#include "App.h"

#include "AppError.h"
#include "Fonts.h"
#include "Language.h"
#include "SingleInstance.h"
#include "UncaughtErrorReport.h"
#include "Version.h"
#include "frmMain.h"

#include <QEvent>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

constexpr int kTablesAtTheLatest = 1000;   // ms after the start

// Runs its action once, just after the first paint of the window it watches (or when fired).
class FirstPaint final : public QObject {
public:
    explicit FirstPaint(std::function<void()> action) : m_action(std::move(action)) {}
    void fire()
    {
        if (auto action = std::exchange(m_action, nullptr))
            action();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_action) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(this, &FirstPaint::fire, Qt::QueuedConnection);   // after this paint
        }
        return false;
    }

private:
    std::function<void()> m_action;
};

// The end of the program once its window has gone: at once, as the game's End does, without
// taking the toolkit down. Qt 6.4's Wayland plugin can hang in that teardown (its display waits
// for its event thread, which waits on a read that never completes), which would leave an ended
// game running without a window and holding the one-copy lock, so that it could not be started
// again. Nothing is lost: settings are written and synced when they change, and the kernel
// releases the lock and closes the sound devices.
[[noreturn]] void endAtOnce(int status)
{
#if defined(__SANITIZE_ADDRESS__)
    __lsan_do_leak_check();   // what the skipped exit handlers would have checked
#endif
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace

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
    language::install();   // before any text is made, the error report's included
    fonts::installSubstitutions();
    // Read as the PNG it is: asked to find the format itself, Qt would load every image format
    // plugin installed (and libraries such as libjpeg and Qt SVG) before the first window.
    QImageReader icon(QStringLiteral(":/icon_999.png"), "png");
    icon.setAutoDetectImageFormat(false);
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon.read())));

    frmMain window(random);
    try {
        window.Form_Load();
    } catch (const errors::AppError& e) {
        app.reportUncaught(e.number(), QString::fromStdString(e.what()));
        endAtOnce(errors::kUncaughtErrorExitStatus);
    } catch (const std::exception& e) {
        app.reportUncaught(errors::kUnknownErrorNumber, QString::fromLocal8Bit(e.what()));
        endAtOnce(errors::kUncaughtErrorExitStatus);
    }
    // The hint tables are checked and mapped on a thread of their own; started only once the
    // window has been painted, that thread does not compete with the first paint for the
    // processor (a game, and so a hint, needs a click on the painted window first). A window
    // that is never painted (kept hidden by the session) starts them a little later all the same.
    FirstPaint firstPaint([&window] { window.hints->startTables(); });
    window.installEventFilter(&firstPaint);
    QTimer::singleShot(kTablesAtTheLatest, &firstPaint, &FirstPaint::fire);
    endAtOnce(app.exec());
}
