// Window timer on top of QTimer.
#include "WindowTimer.h"

#include <algorithm>

WindowTimer::WindowTimer(QObject* parent, int interval, bool enabled)
    : QObject(parent), m_enabled(enabled), m_interval(std::max(0, interval))
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &WindowTimer::fire);
    apply();
}

void WindowTimer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    apply();
}

void WindowTimer::setInterval(int ms)
{
    m_interval = std::max(0, ms);
    apply();
}

void WindowTimer::stop()
{
    m_enabled = false;
    m_interval = 0;
    apply();
}

void WindowTimer::apply()
{
    if (m_enabled && m_interval > 0)
        m_timer.start(std::max(m_interval, kGranularityMs));
    else
        m_timer.stop();
}

void WindowTimer::fire()
{
    if (m_inHandler)
        return;
    m_inHandler = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_inHandler};
    emit Timer();
}
