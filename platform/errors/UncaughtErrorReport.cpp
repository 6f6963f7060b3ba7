// Catching errors at the event dispatcher and ending the program with a report.
#include "UncaughtErrorReport.h"

#include "AppError.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QTimerEvent>

namespace errors {

QString FormatReport(int number, const QString& text)
{
    //: The uncaught-error report: %1 is the error's number, %2 its own text as it was raised.
    return QCoreApplication::translate("errors", "実行時エラー '%1':\n\n%2").arg(number).arg(text);
}

ReportingApplication::ReportingApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    m_presenter = [](int number, const QString& text) {
        // The text may carry file names and other outside text: shown as it is, never as markup.
        QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), FormatReport(number, text));
        box.setTextFormat(Qt::PlainText);
        box.exec();
    };
}

bool ReportingApplication::notify(QObject* receiver, QEvent* event)
{
    if (m_reported && event->type() == QEvent::Timer) {
        // The program is ending: the windows' timers stop; only the report's own box ticks.
        QObject* owner = receiver;
        while (owner && !owner->isWidgetType())
            owner = owner->parent();
        if (owner && static_cast<QWidget*>(owner)->window() != activeModalWidget())
            return false;
    }
    try {
        return QApplication::notify(receiver, event);
    } catch (const AppError& e) {
        reportUncaught(e.number(), QString::fromStdString(e.what()));
    } catch (const std::exception& e) {
        reportUncaught(kUnknownErrorNumber, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        reportUncaught(kUnknownErrorNumber, QCoreApplication::translate("errors", "原因のわからないエラー"));
    }
    return false;
}

void ReportingApplication::reportUncaught(int number, const QString& text)
{
    if (m_reported)
        return;
    m_reported = true;
    m_reporting = true;
    // Windows shown at the time stop taking input, so nothing else runs while the report is read.
    for (QWidget* w : topLevelWidgets())
        w->setEnabled(false);
    if (m_presenter)
        m_presenter(number, text);
    m_reporting = false;
    exit(kUncaughtErrorExitStatus);
}

}  // namespace errors
