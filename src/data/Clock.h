#pragma once

#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>

// Where the program learns the date and time. Everything that depends on "now" asks a Clock,
// so that alarms, today's panel and the widget's clock can be driven without waiting.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
    // Milliseconds of the program's own running time, on a clock nobody sets, which stands still
    // while the computer sleeps, as the program's timers do. Set beside now(), it tells the
    // clock jumping (a suspend, the time set by hand) from the program not running for a while.
    // A clock without one of its own counts with now().
    virtual qint64 steadyMs() const { return now().toMSecsSinceEpoch(); }
};

class SystemClock final : public Clock
{
public:
    SystemClock() { m_steady.start(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 steadyMs() const override { return m_steady.elapsed(); }

private:
    QElapsedTimer m_steady;
};
