// The notification shown afresh for each sentence, and the queue behind it.
#include "SpokenNote.h"

#include <QAccessible>
#include <QEventLoop>

SpokenNote::SpokenNote(QWidget* parent) : QWidget(parent)
{
    setFixedSize(0, 0);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    m_hold.setSingleShot(true);
    connect(&m_hold, &QTimer::timeout, this, &SpokenNote::next);
}

void SpokenNote::say(const QString& sentence)
{
    if (!QAccessible::isActive() || sentence.isEmpty())
        return;
    m_queue.append(sentence);
    if (quiet())
        next();
}

void SpokenNote::next()
{
    hide();
    if (m_queue.isEmpty()) {
        m_text.clear();
        emit quietNow();
        return;
    }
    m_text = m_queue.takeFirst();
    show();   // a reader is told the notification is showing, and speaks it
    emit spoken(m_text);
    m_hold.start(speakingTime(m_text));
}

void SpokenNote::waitUntilQuiet()
{
    if (quiet())
        return;
    QEventLoop loop;
    connect(this, &SpokenNote::quietNow, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);   // keys and clicks wait until it is quiet
}

int SpokenNote::speakingTime(const QString& sentence)
{
    int ms = 400;
    for (const QChar c : sentence)
        ms += c.unicode() < 0x2000 ? 70 : 140;
    return ms;
}
