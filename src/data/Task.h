#pragma once

#include <QDate>
#include <QString>

// One task of the to-do list, as the tareas table keeps it.
struct Task
{
    qint64 key = -1; // the row id; -1 for a task not yet in the agenda
    QDate date; // the day it was entered
    QString time; // "HH:MM"
    QString description; // also how the user tells it from the others
    bool done = false;
    QDate alarmDate; // invalid: the task has no alarm
    QString alarmTime; // "HH:MM"; empty: no alarm time

    bool operator==(const Task &) const = default;
};
