// What a screen reader says aloud, one sentence after another: each sentence a widget of no size
// of its own (a SpokenLine), read as a notification as it appears.
//
// Qt 6.4's accessibility bridge has no way to announce a text. Orca 43 speaks a notification as
// it appears, whatever has the focus ("notification 7, row 2, column 3"); a name or description
// change it would speak only on the focused object, and this bridge sends those without the new
// text, so Orca drops them. Orca asks for the notification's name only when it comes to the
// event, which on a busy machine can be a second later: a line keeps its sentence for good, so a
// late reader still reads the sentence that appeared, never the one after it. The last few lines
// are kept (hidden) for such a reader; older ones are deleted.
//
// Contract
//   say() queues a sentence behind those still being spoken; each is held for the time a reader
//   takes to speak it (speakingTime) before the next appears, so that none cuts off another.
//   While no screen reader listens (QAccessible inactive) say() does nothing. quiet() is true
//   when nothing is queued or held; waitUntilQuiet() runs the event loop until then, keeping
//   the player's keys and clicks until it returns.
//   The note and its lines never draw, take no focus and no clicks.
#pragma once

#include <QStringList>
#include <QTimer>
#include <QWidget>

// One sentence, read as a notification named by it.
class SpokenLine : public QWidget {
    Q_OBJECT
public:
    SpokenLine(const QString& sentence, QWidget* parent);
    const QString& sentence() const { return m_sentence; }

private:
    const QString m_sentence;
};

class SpokenNote : public QWidget {
    Q_OBJECT
public:
    explicit SpokenNote(QWidget* parent);

    void say(const QString& sentence);
    QString text() const { return m_text; }   // the sentence being spoken, empty when quiet
    bool quiet() const { return m_text.isEmpty(); }
    void waitUntilQuiet();

    // Milliseconds a reader takes to speak `sentence` at its usual rate: about 14 letters a
    // second, 7 characters a second of Japanese (each a syllable or two), and a pause at the start.
    static int speakingTime(const QString& sentence);

signals:
    void spoken(const QString& sentence);   // the sentence appeared for the reader
    void quietNow();

private:
    void next();

    QStringList m_queue;
    QString m_text;
    QList<SpokenLine*> m_lines;   // the latest last
    QTimer m_hold;
};
