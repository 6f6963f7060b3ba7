// A notification for each sentence, and the queue behind them.
#include "SpokenNote.h"

#include <QAccessible>
#include <QEventLoop>

namespace {
constexpr qsizetype kKeptLines = 8;   // spoken lines left for a reader that lags behind

void makeSilentSpot(QWidget& widget)
{
    widget.setFixedSize(0, 0);
    widget.setAttribute(Qt::WA_TransparentForMouseEvents);
    widget.setFocusPolicy(Qt::NoFocus);
    widget.hide();
}
} // namespace

SpokenLine::SpokenLine(const QString& sentence, QWidget* parent) : QWidget(parent), m_sentence(sentence)
{
    makeSilentSpot(*this);
}

SpokenNote::SpokenNote(QWidget* parent) : QWidget(parent)
{
    makeSilentSpot(*this);
    show();   // a hidden parent would hide its lines
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
    if (!m_lines.isEmpty())
        m_lines.last()->hide();
    if (m_queue.isEmpty()) {
        m_text.clear();
        emit quietNow();
        return;
    }
    m_text = m_queue.takeFirst();
    m_lines.append(new SpokenLine(m_text, this));
    if (m_lines.size() > kKeptLines)
        delete m_lines.takeFirst();
    m_lines.last()->show();   // a reader is told the notification is showing, and speaks it
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
