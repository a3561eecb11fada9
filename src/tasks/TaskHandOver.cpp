#include "TaskHandOver.h"

#include "data/DateText.h"

bool TaskHandOver::isTime(const QString &text)
{
    if (text.size() != 5 || text[2] != u':')
        return false;
    for (int i : {0, 1, 3, 4})
        if (text[i] < u'0' || text[i] > u'9')
            return false;
    return text.left(2).toInt() < 24 && text.right(2).toInt() < 60;
}

bool TaskHandOver::parse(const QString &text, TaskHandOver *task, QString *error)
{
    auto refuse = [error](const QString &why) {
        *error = why;
        return false;
    };
    const qsizetype bar = text.indexOf(u'|');
    if (bar < 0)
        return refuse(QStringLiteral("la tarea llegó sin su separador"));
    if (bar <= DescriptionStart)
        return refuse(QStringLiteral("la tarea no tiene descripción"));

    TaskHandOver read;
    read.done = text.startsWith(u'S');
    const QString date = text.mid(1, 10);
    read.date = DateText::toDate(date);
    if (!read.date.isValid())
        return refuse(QStringLiteral("«%1» no es una fecha dd/mm/aaaa").arg(date));
    read.time = text.mid(12, 5);
    if (!isTime(read.time))
        return refuse(QStringLiteral("«%1» no es una hora hh:mm").arg(read.time));
    read.description = text.mid(DescriptionStart, bar - DescriptionStart);

    // Nothing between the "|" and the last "_": no alarm.
    if (bar != text.size() - 2) {
        const QString alarmDate = text.mid(bar + 1, 10);
        read.alarmDate = DateText::toDate(alarmDate);
        if (!read.alarmDate.isValid() || text.size() < bar + 12 || text.at(bar + 11) != u'_')
            return refuse(QStringLiteral("«%1» no es una fecha de alarma dd/mm/aaaa").arg(text.mid(bar + 1)));
        if (!text.endsWith(u'_')) {
            read.alarmTime = text.right(5);
            if (text.size() != bar + 17 || !isTime(read.alarmTime))
                return refuse(QStringLiteral("«%1» no es una hora de alarma hh:mm").arg(text.mid(bar + 12)));
        }
    }
    *task = read;
    return true;
}
