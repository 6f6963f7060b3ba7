// Shared steps of the score and ending tests: the record in the store, closes asked by the
// window manager, modal windows answered from a timer, a driven time of day, and games that
// end after one click.
#pragma once

#include "ScriptedRandom.h"
#include "SettingsStore.h"
#include "frmMain.h"
#include "modCommon.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWindow>
#include <QInputMethodEvent>
#include <QTest>

#include <deque>
#include <optional>
#include <stdexcept>

namespace scores {

inline QString Stored(const QString& key)
{
    return modCommon::ReadSetting(QStringLiteral("Puzzle"), QStringLiteral("SCORE"), key);
}

inline void Store(const QString& key, const QString& value)
{
    modCommon::WriteSetting(QStringLiteral("Puzzle"), QStringLiteral("SCORE"), key, value);
}

// Stores the record, or leaves it absent where a value is missing.
inline void StoreRecord(const std::optional<QString>& time, const std::optional<QString>& name)
{
    QFile::remove(settings::StorePath());
    if (time)
        Store(QStringLiteral("HISCORE"), *time);
    if (name)
        Store(QStringLiteral("NAME"), *name);
}

// A close asked through the window's own close box or Alt+F4: the window manager's request
// reaches the native window, which hands the widget a spontaneous close event.
inline void CloseFromWindowManager(QWidget& window)
{
    QCloseEvent event;
    QCoreApplication::sendEvent(window.windowHandle(), &event);
    QCoreApplication::processEvents();
}

// While it lives, answers the first modal window of type T that a modal loop opens, once. It
// looks every few milliseconds, since events may be handled before the window opens. After a
// few seconds it hides any modal window still open, so a broken window fails the test rather
// than hanging it.
template <typename T>
class AnswerModal {
public:
    explicit AnswerModal(std::function<void(T*)> answer) : m_answer(std::move(answer))
    {
        m_look.setInterval(5);
        QObject::connect(&m_look, &QTimer::timeout, [this] { Look(); });
        m_look.start();
        m_since.start();
    }
    AnswerModal(const AnswerModal&) = delete;
    AnswerModal& operator=(const AnswerModal&) = delete;

private:
    void Look()
    {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
            m_look.stop();
            m_answer(modal);
        } else if (m_since.hasExpired(5000)) {
            m_look.stop();
            while (QWidget* open = QApplication::activeModalWidget()) {
                qWarning("a modal window was still open: %s", open->metaObject()->className());
                open->hide();
            }
        }
    }

    std::function<void(T*)> m_answer;
    QTimer m_look;
    QElapsedTimer m_since;
};

// Types `text` into `box` as the player would: Latin-1 characters by key, others (Japanese,
// the ideographic space) committed by the input method.
inline void Type(QWidget* box, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x100) {
            QTest::keyClicks(box, QString(c));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QCoreApplication::sendEvent(box, &commit);
        }
    }
}

using ::OneSlideFromSolved;

// A time of day that moves only when the pause waits, `step` ms per wait.
struct DrivenClock {
    qint64 ms = 0;
    int step = 10;
    int looks = 0;
    qint64 waited = 0;
    std::function<void()> onWait;

    int secondsOfDay()
    {
        ++looks;
        return static_cast<int>((ms / 1000) % 86400);
    }
    void Wait()
    {
        if (onWait)
            onWait();
        ms += step;
        waited += step;
        if (waited > 60000)
            throw std::runtime_error("the pause has not ended after a minute");
    }
    void DriveThePauseOf(frmMain& w)
    {
        w.secondsOfDay = [this] { return secondsOfDay(); };
        w.pauseWait = [this] { Wait(); };
    }
};

// Plays one game to its end: picture `number` ("1" to "3", or empty for an imported picture),
// then the one click that solves it and the three move ticks of the slide.
inline void PlayOneGame(frmMain& w, ScriptedRandom& random, const QString& number)
{
    w.mOrignal_Click();
    if (number.isEmpty())
        w.PictureClip.setTag(QString());   // what the import leaves
    else
        w.imgSentaku_Click(number.toInt());
    random.Script(OneSlideFromSolved());
    w.imgCmd_Click(2);
    if (w.imgPanel[0]->Tag() != QLatin1String("2"))
        throw std::runtime_error("the scripted board did not come out");
    w.imgPanel_Click(0);
    for (int i = 0; i < 3; ++i)
        w.timMain_Timer();
}

}  // namespace scores
