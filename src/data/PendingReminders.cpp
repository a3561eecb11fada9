#include "PendingReminders.h"

#include "OwnTables.h"
#include "store/Database.h"

namespace PendingReminders {

namespace {

constexpr char Columns[] = "id INTEGER PRIMARY KEY AUTOINCREMENT, numero INTEGER NOT NULL, momento TEXT NOT NULL";

QString sql(const char *text)
{
    return QString::fromLatin1(text).arg(QLatin1String(Table));
}

} // namespace

QList<Reminder> between(const QString &databaseFile, const QDateTime &first, const QDateTime &last)
{
    QList<Reminder> found;
    const std::shared_ptr<Database> db = Database::open(databaseFile, nullptr);
    if (!db || !OwnTables::exists(*db, Table))
        return found;
    db->exec(sql("SELECT id, numero, momento FROM %1 WHERE momento >= ? AND momento <= ? ORDER BY momento, id"),
             {OwnTables::minuteText(first), OwnTables::minuteText(last)}, [&](sqlite3_stmt *row) {
                 found.append({Database::columnValue(row, 0).toLongLong(), Database::columnValue(row, 1).toLongLong(),
                               OwnTables::fromMinuteText(Database::columnValue(row, 2).toString())});
                 return true;
             });
    return found;
}

bool add(const QString &databaseFile, qint64 entry, const QDateTime &moment, const QDateTime &dropBefore)
{
    const std::shared_ptr<Database> db = Database::open(databaseFile, nullptr);
    if (!db ||
        !OwnTables::write(*db, Table, Columns, sql("INSERT INTO %1 (numero, momento) VALUES (?, ?)"),
                          {entry, OwnTables::minuteText(moment)}))
        return false;
    db->write(sql("DELETE FROM %1 WHERE momento < ?"), {OwnTables::minuteText(dropBefore)});
    return true;
}

bool move(const QString &databaseFile, qint64 id, const QDateTime &from, const QDateTime &moment)
{
    const std::shared_ptr<Database> db = Database::open(databaseFile, nullptr);
    bool readable = false;
    if (!db || !OwnTables::exists(*db, Table, &readable))
        return db && readable; // no table, no reminder to move
    return db->write(sql("UPDATE %1 SET momento = ? WHERE id = ? AND momento = ?"),
                     {OwnTables::minuteText(moment), id, OwnTables::minuteText(from)});
}

bool remove(const QString &databaseFile, qint64 id, const QDateTime &at)
{
    const std::shared_ptr<Database> db = Database::open(databaseFile, nullptr);
    bool readable = false;
    if (!db || !OwnTables::exists(*db, Table, &readable))
        return db && readable;
    return at.isValid() ? db->write(sql("DELETE FROM %1 WHERE id = ? AND momento = ?"), {id, OwnTables::minuteText(at)})
                        : db->write(sql("DELETE FROM %1 WHERE id = ?"), {id});
}

} // namespace PendingReminders
