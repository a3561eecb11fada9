#include "data/TimeSpin.h"

namespace TimeSpin {

int leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    int value = 0;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i)
        value = value * 10 + (text[i].unicode() - u'0');
    return value;
}

QString twoDigits(int value)
{
    return (QStringLiteral("00") + QString::number(value)).right(2);
}

static int hourAfter(int hours, int step)
{
    hours += step;
    if (hours == 24)
        hours = 0;
    if (hours == -1)
        hours = 23;
    return hours;
}

QString stepHours(const QString &time, bool later)
{
    const int hours = hourAfter(leadingNumber(QStringView(time).left(2)), later ? 1 : -1);
    return twoDigits(hours) + u':' + twoDigits(leadingNumber(QStringView(time).right(2)));
}

QString stepMinutes(const QString &time, int delta)
{
    int hours = leadingNumber(QStringView(time).left(2));
    int minutes = leadingNumber(QStringView(time).right(2)) + delta;
    if (minutes >= 60) {
        minutes -= 60;
        hours = hourAfter(hours, 1);
    } else if (minutes < 0) {
        minutes += 60;
        hours = hourAfter(hours, -1);
    }
    return twoDigits(hours) + u':' + twoDigits(minutes);
}

} // namespace TimeSpin
