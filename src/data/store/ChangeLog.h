#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>
#include <vector>

class Database;
struct sqlite3;

// The agenda's own list of the diary entries whose texts changed, kept by three triggers on
// notas written in plain SQL, so that every client's writes land in it, not only this program's.
// The search index reads from it which entries changed since it last looked, instead of looking
// every entry over. It keeps the last KeptRows changes; an index that fell further behind, or a
// list that cannot be trusted whole, means looking every entry over as before.
namespace ChangeLog {

inline constexpr int KeptRows = 10000;

// How far the list had gone when the index last read it: the last change's orden and the entry it
// named (so that a list that started over, e.g. an older copy restored, is not read as the same
// one), and the agenda's schema cookie (a dropped trigger, or the agenda restored by SQLite's
// backup, changes it).
struct Position
{
    qint64 orden = 0;
    qint64 numero = 0;
    qint64 schema = -1;
    QByteArray text() const;
    static std::optional<Position> fromText(const QByteArray &text);
};

// Makes the table and its triggers, or makes them again as this program writes them; true when
// the agenda has them so afterwards. One short write transaction, only when something is missing.
bool ensure(Database &agenda);

// Inside a read transaction on agenda. Where the list stands now; nothing when the agenda has no
// list as this program makes it.
std::optional<Position> current(sqlite3 *agenda);
// The entries changed after from (each once), and where the list stands now; false when the list
// cannot tell them all: missing or altered, started over, or no longer holding every change
// after from.
bool changedSince(sqlite3 *agenda, const Position &from, std::vector<qint64> *numeros, Position *now);

} // namespace ChangeLog
