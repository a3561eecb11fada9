#pragma once

#include "InterchangeLink.h"
#include "data/Entry.h"
#include "data/Task.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QStringList>
#include <vector>

// Writes diary entries and tasks as one iCalendar text: each entry a VEVENT and each task a
// VTODO with what it kept, the entries of an imported series as that series once again (the
// changed ones as changed repetitions, the deleted ones as EXDATE), times in the system's zone.
class CalendarWriter final
{
public:
    struct EntryItem
    {
        Entry entry;
        InterchangeLink link; // with its uid
    };
    struct TaskItem
    {
        Task task;
        InterchangeLink link;
    };

    // series: the stored series by UID; gone: by series UID, the repetitions whose entries were
    // deleted. now is the moment written as each item's DTSTAMP.
    static QByteArray write(const std::vector<EntryItem> &entries, const std::vector<TaskItem> &tasks,
                            const QHash<QString, QByteArray> &series, const QHash<QString, QStringList> &gone,
                            const QDateTime &now);
};
