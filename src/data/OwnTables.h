#pragma once

#include <QDateTime>
#include <QString>
#include <QVariantList>

class Database;

// The program's own optional tables in the agenda (their names begin with "quillomar_"): each is
// made at its first write, so an agenda that never needed one stays as it was, and none is part
// of the checks made on opening. Another client may read them, write them or drop them.
namespace OwnTables {

// A minute as these tables keep it: "yyyy-MM-ddTHH:mm:ss", local time, always with the time of
// day, so that minutes compare and sort as text.
QString minuteText(const QDateTime &minute);
QDateTime fromMinuteText(const QString &text);

// Whether the agenda holds table; readable is false when the agenda could not be asked.
bool exists(Database &db, const char *table, bool *readable = nullptr);

// Runs the write sql on table, making the table first (with columns, as in CREATE TABLE) when
// the agenda does not have it yet.
bool write(Database &db, const char *table, const char *columns, const QString &sql, const QVariantList &values);

} // namespace OwnTables
