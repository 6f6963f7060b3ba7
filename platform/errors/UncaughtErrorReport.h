// The uncaught-error report: an error that leaves any event handler is shown, then the program ends.
//
// Contract
//   ReportingApplication delivers every event (clicks, timer ticks, queued calls) inside a guard.
//   An errors::AppError, any other std::exception, or anything else thrown out of a handler is
//   caught there and reported exactly once: the presenter is called with the error's number and
//   text (by default a critical message box titled with the application name), then every event
//   loop is told to end and exec() returns kUncaughtErrorExitStatus. No further handler runs
//   after the report. Errors raised while a report is being shown are folded into it.
//   Handlers that want to recover catch their errors themselves; none swallows them silently.
#pragma once

#include <QApplication>
#include <QString>
#include <functional>

namespace errors {

inline constexpr int kUncaughtErrorExitStatus = 70;   // EX_SOFTWARE
inline constexpr int kUnknownErrorNumber = 440;       // an error that carries no number of its own

// Shows one uncaught error to the user; it may block until the user has read it.
using ErrorPresenter = std::function<void(int number, const QString& text)>;

class ReportingApplication : public QApplication {
    Q_OBJECT
public:
    ReportingApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Replaces the message box, e.g. to record reports in tests.
    void setPresenter(ErrorPresenter presenter) { m_presenter = std::move(presenter); }

    // Reports an error caught elsewhere (e.g. outside the event loop) the same way.
    void reportUncaught(int number, const QString& text);

    bool hasReported() const { return m_reported; }

private:
    ErrorPresenter m_presenter;
    bool m_reporting = false;
    bool m_reported = false;
};

// The default presenter's message: "Run-time error '<number>':" then the text.
QString FormatReport(int number, const QString& text);

}  // namespace errors
