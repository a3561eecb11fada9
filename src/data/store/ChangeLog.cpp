#include "ChangeLog.h"

#include "Database.h"
#include "Statement.h"

#include <QList>
#include <cstring>
#include <sqlite3.h>

namespace {

#define KEEP_LAST "DELETE FROM quillomar_cambios WHERE orden <= (SELECT max(orden) FROM quillomar_cambios) - 10000; "
static_assert(ChangeLog::KeptRows == 10000, "the triggers keep the last 10000 changes");

constexpr const char *Table = "CREATE TABLE IF NOT EXISTS quillomar_cambios (orden INTEGER PRIMARY KEY "
                              "AUTOINCREMENT, numero INTEGER NOT NULL)";

// As SQLite keeps them in sqlite_schema, word for word: one that differs is made again.
struct Trigger
{
    const char *name;
    const char *sql;
};
constexpr Trigger Triggers[] = {
    {"quillomar_cambios_alta",
     "CREATE TRIGGER quillomar_cambios_alta AFTER INSERT ON notas BEGIN "
     "INSERT INTO quillomar_cambios (numero) VALUES (new.numero); " KEEP_LAST "END"},
    {"quillomar_cambios_cambio",
     "CREATE TRIGGER quillomar_cambios_cambio AFTER UPDATE OF numero, texto, nota ON notas "
     "WHEN old.numero IS NOT new.numero OR old.texto IS NOT new.texto OR old.nota IS NOT new.nota BEGIN "
     "INSERT INTO quillomar_cambios (numero) VALUES (old.numero); "
     "INSERT INTO quillomar_cambios (numero) SELECT new.numero WHERE new.numero IS NOT old.numero; " KEEP_LAST "END"},
    {"quillomar_cambios_baja",
     "CREATE TRIGGER quillomar_cambios_baja AFTER DELETE ON notas BEGIN "
     "INSERT INTO quillomar_cambios (numero) VALUES (old.numero); " KEEP_LAST "END"},
};
#undef KEEP_LAST

// Whether sql is the trigger name as this program writes it.
bool isOurs(const char *name, const char *sql)
{
    for (const Trigger &trigger : Triggers)
        if (name && sql && std::strcmp(name, trigger.name) == 0 && std::strcmp(sql, trigger.sql) == 0)
            return true;
    return false;
}

constexpr const char *OurTriggers = "SELECT name, sql FROM sqlite_schema WHERE type = 'trigger' AND "
                                    "name LIKE 'quillomar\\_cambios\\_%' ESCAPE '\\'";

// Whether the agenda holds the three triggers as written above.
bool intact(sqlite3 *agenda)
{
    Statement schema(agenda, OurTriggers);
    if (!schema)
        return false;
    int ours = 0;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(schema.get())) == SQLITE_ROW)
        ours += isOurs(reinterpret_cast<const char *>(sqlite3_column_text(schema.get(), 0)),
                       reinterpret_cast<const char *>(sqlite3_column_text(schema.get(), 1)))
            ? 1
            : 0;
    return rc == SQLITE_DONE && ours == int(std::size(Triggers));
}

} // namespace

QByteArray ChangeLog::Position::text() const
{
    return QByteArray::number(orden) + ' ' + QByteArray::number(numero) + ' ' + QByteArray::number(schema);
}

std::optional<ChangeLog::Position> ChangeLog::Position::fromText(const QByteArray &text)
{
    const QList<QByteArray> parts = text.split(' ');
    if (parts.size() != 3)
        return {};
    bool ok[3] = {};
    const Position position{parts[0].toLongLong(&ok[0]), parts[1].toLongLong(&ok[1]), parts[2].toLongLong(&ok[2])};
    if (!ok[0] || !ok[1] || !ok[2])
        return {};
    return position;
}

bool ChangeLog::ensure(Database &agenda)
{
    int ours = 0;
    bool ok = agenda.exec(QString::fromUtf8(OurTriggers), {}, [&ours](sqlite3_stmt *row) {
        ours += isOurs(reinterpret_cast<const char *>(sqlite3_column_text(row, 0)),
                       reinterpret_cast<const char *>(sqlite3_column_text(row, 1)))
            ? 1
            : 0;
        return true;
    });
    const bool hasTable = agenda
                              .scalar(QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND "
                                                     "name = 'quillomar_cambios'"),
                                      {}, &ok)
                              .toInt() == 1;
    if (!ok)
        return false;
    if (hasTable && ours == int(std::size(Triggers)))
        return true;
    if (!agenda.begin())
        return false;
    bool made = agenda.exec(QString::fromUtf8(Table), {});
    for (const Trigger &trigger : Triggers) {
        made =
            made && agenda.exec(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(QString::fromUtf8(trigger.name)), {});
        made = made && agenda.exec(QString::fromUtf8(trigger.sql), {});
    }
    if (!made) {
        agenda.rollback();
        return false;
    }
    return agenda.commit();
}

std::optional<ChangeLog::Position> ChangeLog::current(sqlite3 *agenda)
{
    if (!intact(agenda))
        return {};
    Statement schema(agenda, "PRAGMA schema_version");
    Statement last(agenda, "SELECT orden, numero FROM quillomar_cambios ORDER BY orden DESC LIMIT 1");
    Statement counter(agenda, "SELECT seq FROM sqlite_sequence WHERE name = 'quillomar_cambios'");
    const std::optional<qint64> cookie = schema.integer();
    if (!cookie || !last)
        return {};
    Position position{0, 0, *cookie};
    if (sqlite3_step(last.get()) == SQLITE_ROW) {
        position.orden = sqlite3_column_int64(last.get(), 0);
        position.numero = sqlite3_column_int64(last.get(), 1);
    } else {
        // Emptied: the counter still says how far it went.
        position.orden = counter.integer().value_or(0);
    }
    return position;
}

bool ChangeLog::changedSince(sqlite3 *agenda, const Position &from, std::vector<qint64> *numeros, Position *now)
{
    const std::optional<Position> latest = current(agenda);
    if (!latest || latest->schema != from.schema || latest->orden < from.orden)
        return false;
    Statement first(agenda, "SELECT min(orden) FROM quillomar_cambios");
    Statement at(agenda, "SELECT numero FROM quillomar_cambios WHERE orden = ?1");
    Statement after(agenda, "SELECT DISTINCT numero FROM quillomar_cambios WHERE orden > ?1");
    if (!first || !at || !after)
        return false;
    // Every change after from is still listed: the oldest kept is at most the one after it.
    const std::optional<qint64> oldest = first.integer();
    if (oldest ? *oldest > from.orden + 1 : latest->orden != from.orden)
        return false;
    // The change at from, when still listed, is the one the index read.
    sqlite3_bind_int64(at.get(), 1, from.orden);
    const std::optional<qint64> numero = at.integer();
    if (oldest && *oldest <= from.orden && numero != from.numero)
        return false;
    numeros->clear();
    sqlite3_bind_int64(after.get(), 1, from.orden);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(after.get())) == SQLITE_ROW)
        numeros->push_back(sqlite3_column_int64(after.get(), 0));
    if (rc != SQLITE_DONE)
        return false;
    *now = *latest;
    return true;
}
