#include "AlarmMark.h"

#include "DateText.h"
#include "store/Database.h"

namespace AlarmMark {

QDateTime read(const QString &databaseFile)
{
    const std::shared_ptr<Database> db = Database::open(databaseFile, nullptr);
    if (!db)
        return {};
    bool ok = false;
    const QVariant table = db->scalar(QStringLiteral("SELECT name FROM sqlite_schema WHERE type='table' AND name=?"),
                                      {QString::fromLatin1(Table)}, &ok);
    if (!ok || !table.isValid())
        return {};
    const QVariant value = db->scalar(QStringLiteral("SELECT valor FROM %1 WHERE clave=?").arg(QLatin1String(Table)),
                                      {QString::fromLatin1(Key)}, &ok);
    return QDateTime::fromString(value.toString(), Qt::ISODate);
}

bool write(const QString &databaseFile, const QDateTime &moment)
{
    const std::shared_ptr<Database> db = Database::open(databaseFile, nullptr);
    if (!db)
        return false;
    const QString insert =
        QStringLiteral("INSERT OR REPLACE INTO %1 (clave, valor) VALUES (?, ?)").arg(QLatin1String(Table));
    const QVariantList values{QString::fromLatin1(Key), DateText::toStored(moment)};
    if (db->write(insert, values))
        return true;
    // The table is made only when first needed, so agendas that never met it stay as they are.
    return db->write(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (clave TEXT PRIMARY KEY, valor TEXT)")
                         .arg(QLatin1String(Table)),
                     {}) &&
        db->write(insert, values);
}

} // namespace AlarmMark
