#pragma once

#include "StoreResult.h"
#include "Task.h"
#include "store/RecordCursor.h"

#include <QDateTime>
#include <optional>

class Diary;

// Every write to the tasks. Each finds its row by key with a cursor of its own, so no window that
// moves the diary's cursors can send it to another row. The list's rules hold here: no two tasks
// share a description in any letter case, a task has a description and an "HH:MM" time, and its
// alarm rings on a real day and minute. Each write done is told to the diary's views.
class TaskStore final
{
public:
    explicit TaskStore(Diary &diary);

    // The task with this key, or nothing when it is no longer in the agenda.
    std::optional<Task> task(qint64 key);
    // The key of the first task, in table order, with this description in any letter case; -1
    // when there is none.
    qint64 keyOf(const QString &description);
    // Whether a task other than the one with key except has this description, in any letter case.
    bool isRegistered(const QString &description, qint64 except = -1);

    StoreResult add(const Task &task);
    // Writes every column of the task with task.key; an alarm switched off is emptied.
    StoreResult update(const Task &task);
    StoreResult setDone(qint64 key, bool done);
    // Moves the task's alarm to ring at moment, while it still rings on date at time and is not
    // done; otherwise it is refused, the task being as the user left it.
    StoreResult moveAlarm(qint64 key, const QDate &date, const QString &time, const QDateTime &moment);
    // Deletes the task; one already gone needs nothing done.
    StoreResult remove(qint64 key);
    // Deletes every finished task.
    StoreResult removeFinished();

private:
    bool open();
    StoreResult standOn(qint64 key);
    StoreResult refusal(const Task &task);
    StoreResult written(qint64 key);

    Diary &m_diary;
    RecordCursor m_tareas;
};
