#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// Alarms of diary entries put off with "Posponer" to another day than the entry's own, kept
// apart from the entry (table quillomar_recordatorios): putting an alarm off never moves an
// entry to another day. Each rings at its minute with the entry's text as it reads then; one
// whose entry has been deleted rings no more.
namespace PendingReminders {

inline constexpr char Table[] = "quillomar_recordatorios";

struct Reminder
{
    qint64 id = -1; // the reminder's own number
    qint64 entry = -1; // the entry's numero
    QDateTime moment; // the minute it rings in
};

// The reminders whose minute lies from first to last, both included, oldest first; none when
// the agenda has no such table or cannot be read.
QList<Reminder> between(const QString &databaseFile, const QDateTime &first, const QDateTime &last);

// Adds a reminder of entry at moment, and forgets the reminders older than dropBefore, which
// could no longer be listed as missed.
bool add(const QString &databaseFile, qint64 entry, const QDateTime &moment, const QDateTime &dropBefore);

// Moves reminder id to moment, when it still rings at from.
bool move(const QString &databaseFile, qint64 id, const QDateTime &from, const QDateTime &moment);

// Removes reminder id; with a valid at, only when it still rings then.
bool remove(const QString &databaseFile, qint64 id, const QDateTime &at = {});

} // namespace PendingReminders
