#include "data/EntryLine.h"

#include "data/store/TextMatch.h"

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

namespace {

// Folded as the searches fold, ñ put after every other n.
QString orderKey(const QString &visible)
{
    QString key = TextMatch::foldAccents(visible);
    key.replace(u'ñ', QStringLiteral("n\uffff"));
    return key;
}

} // namespace

bool sortsBefore(const QString &a, const QString &b)
{
    const QString first = Visible(a);
    const QString second = Visible(b);
    // Lines of different times, the usual case, are told apart without folding.
    if (const int byTime = QStringView(first).left(5).compare(QStringView(second).left(5)); byTime != 0)
        return byTime < 0;
    if (const int byWords = orderKey(first).compare(orderKey(second)); byWords != 0)
        return byWords < 0;
    return a < b;
}

} // namespace EntryLine
