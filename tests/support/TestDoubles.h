#pragma once

#include "data/Clock.h"
#include "data/Messenger.h"
#include "data/Notifier.h"
#include "data/SoundPlayer.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <algorithm>
#include <deque>

// A clock the test sets by hand. Its steady time follows every move forward, as the program's own
// time does while it runs, except a jump.
class FakeClock final : public Clock
{
public:
    // An early hour no test puts an alarm on, so windows under test are not interrupted by one.
    explicit FakeClock(QDateTime now = QDateTime(QDate(2024, 4, 3), QTime(3, 17)))
        : m_now(std::move(now))
    {}
    QDateTime now() const override { return m_now; }
    qint64 steadyMs() const override { return m_steadyMs; }
    void set(const QDateTime &now)
    {
        m_steadyMs += std::max<qint64>(0, m_now.msecsTo(now));
        m_now = now;
    }
    void setToday(const QDate &date) { set(QDateTime(date, m_now.time())); }
    void advanceSeconds(qint64 seconds) { set(m_now.addSecs(seconds)); }
    // The clock moves while the program's own time stands still: the computer slept, or the time
    // was set by hand.
    void jumpSeconds(qint64 seconds) { m_now = m_now.addSecs(seconds); }

private:
    QDateTime m_now;
    qint64 m_steadyMs = 0;
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

// Records the notices posted and withdrawn; the test acts on them as the desktop's user would.
class FakeNotifier final : public Notifier
{
public:
    void post(const QString &name, const QString &summary, const QString &) override
    {
        posted << name;
        summaries << summary;
    }
    void withdraw(const QString &name) override { withdrawn << name; }
    QStringList posted;
    QStringList summaries;
    QStringList withdrawn;
};
