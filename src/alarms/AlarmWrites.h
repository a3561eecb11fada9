#pragma once

#include "DueAlarm.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

class Diary;
class Messenger;

// What the alarm windows write when the user is done with their alarms. Each alarm is written
// only while its row still holds the alarm announced: an entry or task deleted, or set to
// another alarm by the user meanwhile, is left as the user left it.
namespace AlarmWrites {

// Empties the alarm time of the diary entries among alarms, through the diary's entry store; a
// put-off reminder among them is removed, and the past alarm of its entry emptied. Returns the
// texts of the alarms that could not be cleared; why holds the reason.
QStringList clearEntries(Diary &diary, const QList<DueAlarm> &alarms, QString *why);

// Moves every alarm to ring at moment (a whole minute), never changing an entry's day, time or
// text: the horaalarma of an entry of moment's day; for an entry of any other day, a reminder
// kept apart (PendingReminders), or that reminder itself moved; a task's Fechaalarma and
// Horaalarma, which are its reminder, the task's own date staying as it was. The entries are
// written through the diary's entry store, the tasks through a cursor of their own on the same
// file. Returns the texts of the alarms that could not be moved; why holds the reason.
QStringList snooze(Diary &diary, const QList<DueAlarm> &alarms, const QDateTime &moment, QString *why);

// "Posponer" in an alarm window: every alarm moves to the start of now's minute plus minutes,
// and the user is told of those that could not be moved (they keep their alarm).
void snoozeFor(Diary &diary, const QList<DueAlarm> &alarms, const QDateTime &now, int minutes, Messenger *messenger);

// "Quitar" in an alarm window: clears the entries' alarms, and tells the user of those that could
// not be cleared (they keep their alarm).
void clearFor(Diary &diary, const QList<DueAlarm> &alarms, Messenger *messenger);

// "Abrir" in an alarm window: the alarm is dealt with (an entry's cleared), and the diary is
// brought before the user at its entry, or at the task list with its task.
void open(Diary &diary, const DueAlarm &alarm, Messenger *messenger);

} // namespace AlarmWrites
