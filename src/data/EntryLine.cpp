#include "data/EntryLine.h"

namespace EntryLine {

QChar Mark(bool hasNote, bool hasAlarm)
{
    if (hasNote && hasAlarm)
        return u'#';
    if (hasNote)
        return u'+';
    if (hasAlarm)
        return u'=';
    return u' ';
}

QString Build(const QString &time, bool hasNote, bool hasAlarm, const QString &text, qint64 numero)
{
    const QString number = (QStringLiteral("0000000000") + QString::number(numero)).right(NumberLength);
    return time + Mark(hasNote, hasAlarm) + text + QString(FillerLength, u' ') + number;
}

QString Visible(const QString &line)
{
    if (line.size() < FillerLength + NumberLength)
        return line;
    return line.left(line.size() - FillerLength - NumberLength);
}

QString Number(const QString &line)
{
    return line.right(NumberLength);
}

} // namespace EntryLine
