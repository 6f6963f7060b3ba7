// A window timer: enabled state plus interval, ticking on the user-interface thread.
//
// Contract
//   The timer fires `Timer` every Interval() ms while it is enabled and its interval is above 0.
//   Interval 0 never fires; switching a timer off is stop(): setEnabled(false) plus setInterval(0).
//   Changing the interval or re-enabling restarts the period, so the first tick after a change is
//   a full interval away. Intervals shorter than kGranularityMs fire every kGranularityMs (one
//   display frame), the finest period this platform's timers keep steadily.
//   Ticks run on the thread that owns the timer, one handler at a time; a tick does not re-enter
//   its own handler (a tick that comes due while the handler still runs is dropped).
#pragma once

#include <QObject>
#include <QTimer>

class WindowTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int kGranularityMs = 16;

    explicit WindowTimer(QObject* parent = nullptr, int interval = 0, bool enabled = true);

    bool Enabled() const { return m_enabled; }
    int Interval() const { return m_interval; }
    void setEnabled(bool enabled);
    void setInterval(int ms);
    // Off: disabled, interval 0.
    void stop();

    // True while the underlying timer is counting (enabled with an interval above 0).
    bool isRunning() const { return m_timer.isActive(); }

signals:
    void Timer();

private:
    void apply();
    void fire();

    QTimer m_timer{this};
    bool m_enabled;
    int m_interval;
    bool m_inHandler = false;
};
