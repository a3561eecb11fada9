#include "OwnTables.h"

#include "store/Database.h"

namespace OwnTables {

QString minuteText(const QDateTime &minute)
{
    return minute.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QDateTime fromMinuteText(const QString &text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

bool exists(Database &db, const char *table, bool *readable)
{
    bool ok = false;
    const QVariant found = db.scalar(QStringLiteral("SELECT name FROM sqlite_schema WHERE type='table' AND name=?"),
                                     {QString::fromLatin1(table)}, &ok);
    if (readable)
        *readable = ok;
    return ok && found.isValid();
}

bool write(Database &db, const char *table, const char *columns, const QString &sql, const QVariantList &values)
{
    if (!exists(db, table) &&
        !db.write(
            QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)").arg(QLatin1String(table), QLatin1String(columns)), {}))
        return false;
    return db.write(sql, values);
}

} // namespace OwnTables
