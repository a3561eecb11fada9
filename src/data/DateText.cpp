#include "DateText.h"

namespace DateText {

QString fromDate(const QDate &date)
{
    if (!date.isValid())
        return {};
    return QStringLiteral("%1/%2/%3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QDate toDate(const QString &text)
{
    return QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
}

QString toStored(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

QString toStored(const QDateTime &dateTime)
{
    if (dateTime.time() == QTime(0, 0))
        return dateTime.date().toString(Qt::ISODate);
    return dateTime.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QVariant fromStored(const QString &text)
{
    if (text.size() <= 10)
        return QDate::fromString(text, Qt::ISODate);
    return QDateTime::fromString(text, Qt::ISODate);
}

QLocale spanishLocale()
{
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::Spanish)
        return system;
    return QLocale(QLocale::Spanish, QLocale::Spain);
}

} // namespace DateText
