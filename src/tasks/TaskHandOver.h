#pragma once

#include <QDate>
#include <QString>

// The line of text in which the task dialog hands a task to the task list:
//
//   "S"/"N", date "dd/mm/yyyy", "_", time "hh:mm", "_", description, "|",
//   alarm date "dd/mm/yyyy" or nothing, "_", alarm time "hh:mm" or nothing.
//
// The fields are found by their positions: the description runs from the 19th character up to
// the first "|", which is why a description never holds one.
struct TaskHandOver
{
    bool done = false;
    QDate date;
    QString time;
    QString description;
    QDate alarmDate; // invalid: the task has no alarm
    QString alarmTime; // empty: no alarm time

    // Reads a hand-over. Every part it holds must be a real date or an "hh:mm" time: what is not
    // is never stored. On refusal returns false and says why in error.
    static bool parse(const QString &text, TaskHandOver *task, QString *error);

    // Whether text is a time "hh:mm": two digits each side, 00:00 to 23:59.
    static bool isTime(const QString &text);

    static constexpr int DescriptionStart = 18; // from 0
};
