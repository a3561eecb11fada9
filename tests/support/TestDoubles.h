#pragma once

#include "data/Clock.h"
#include "data/Messenger.h"
#include "data/SoundPlayer.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <deque>

// A clock the test sets by hand.
class FakeClock final : public Clock
{
public:
    // An early hour no test puts an alarm on, so windows under test are not interrupted by one.
    explicit FakeClock(QDateTime now = QDateTime(QDate(2024, 4, 3), QTime(3, 17)))
        : m_now(std::move(now))
    {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &now) { m_now = now; }
    void setToday(const QDate &date) { m_now = QDateTime(date, m_now.time()); }
    void advanceSeconds(qint64 seconds) { m_now = m_now.addSecs(seconds); }

private:
    QDateTime m_now;
};

// Records every message box and answers them from a queue (Ok, or the first button offered,
// when the queue is empty).
class RecordingMessenger final : public Messenger
{
public:
    struct Shown
    {
        QString text;
        QString title;
        Icon icon;
        unsigned buttons;
    };

    Button ask(const QString &text, const QString &title, Icon icon, unsigned buttons) override;

    void answerNext(Button button) { m_answers.push_back(button); }
    QList<Shown> shown;
    QStringList texts() const;
    void clear() { shown.clear(); }

private:
    std::deque<Button> m_answers;
};

// Records what would have been played.
class RecordingSoundPlayer final : public SoundPlayer
{
public:
    void play(const QString &path) override { played << path; }
    QStringList played;
};
