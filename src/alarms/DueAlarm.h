#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QtGlobal>
#include <utility>

// One alarm that fell due: what the alarm window announces, and for a diary entry what it needs
// to clear that entry's alarm when the window is closed.
struct DueAlarm
{
    // Reminder: an entry's alarm put off to another day than the entry's (PendingReminders).
    enum class Kind { Entry, Task, Reminder };

    Kind kind = Kind::Entry;
    QString text; // as shown: the entry's bare short text, or "TAREA: " and the task's text
    qint64 entryKey = -1; // the entry's numero; -1 for a task
    QString alarmTime; // the "HH:MM" the alarm rang for
    QDate date; // the day it fell due on
    qint64 taskKey = -1; // the task's row; -1 for a diary entry
    qint64 reminderKey = -1; // the reminder's id; -1 for an entry's or a task's own alarm

    QDateTime minute() const { return QDateTime(date, QTime::fromString(alarmTime, QStringLiteral("HH:mm"))); }
    // The table the alarm's row is in, and that row.
    std::pair<QString, qint64> row() const;
    // The alarm's own name, its row and minute: what it is announced once by.
    QString name() const;
};
