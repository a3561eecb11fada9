#pragma once

#include <QDate>
#include <QDateTime>

// Where the program learns the date and time. Everything that depends on "now" asks a Clock,
// so that alarms, today's panel and the widget's clock can be driven without waiting.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
