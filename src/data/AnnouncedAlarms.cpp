#include "AnnouncedAlarms.h"

#include "OwnTables.h"
#include "store/Database.h"

namespace AnnouncedAlarms {

namespace {

constexpr char Columns[] = "tabla TEXT NOT NULL, clave INTEGER NOT NULL, momento TEXT NOT NULL";

QString sql(const char *text)
{
    return QString::fromLatin1(text).arg(QLatin1String(Table));
}

} // namespace

bool contains(const QString &databaseFile, const QString &table, qint64 key, const QDateTime &minute)
{
    const std::shared_ptr<Database> db = Database::open(databaseFile, nullptr);
    if (!db || !OwnTables::exists(*db, Table))
        return false;
    return db
        ->scalar(sql("SELECT 1 FROM %1 WHERE tabla = ? AND clave = ? AND momento = ?"),
                 {table, key, OwnTables::minuteText(minute)})
        .isValid();
}

bool add(const QString &databaseFile, const QString &table, qint64 key, const QDateTime &minute,
         const QDateTime &dropBefore)
{
    const std::shared_ptr<Database> db = Database::open(databaseFile, nullptr);
    if (!db ||
        !OwnTables::write(*db, Table, Columns, sql("INSERT INTO %1 (tabla, clave, momento) VALUES (?, ?, ?)"),
                          {table, key, OwnTables::minuteText(minute)}))
        return false;
    db->write(sql("DELETE FROM %1 WHERE momento < ?"), {OwnTables::minuteText(dropBefore)});
    return true;
}

} // namespace AnnouncedAlarms
