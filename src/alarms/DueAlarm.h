#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>

// One alarm that fell due: what the alarm window announces, and for a diary entry what it needs
// to clear that entry's alarm when the window is closed.
struct DueAlarm
{
    enum class Kind { Entry, Task };

    Kind kind = Kind::Entry;
    QString text; // as shown: the entry's bare short text, or "TAREA: " and the task's text
    qint64 entryKey = -1; // the entry's numero; -1 for a task
    QString alarmTime; // the "HH:MM" the alarm rang for
    QDate date; // the day it fell due on
    qint64 taskKey = -1; // the task's row; -1 for a diary entry
};
