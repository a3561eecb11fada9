#pragma once

#include <QDateTime>
#include <QString>

// The alarms already announced, rung or listed as missed, each by its row and the minute it fell
// due in (table quillomar_avisadas). A task's alarm stays in its row after it rang, so when the
// clock is set back (the end of summer time, a change by hand) and that minute comes round again,
// this is what keeps it from ringing a second time.
namespace AnnouncedAlarms {

inline constexpr char Table[] = "quillomar_avisadas";

// Whether the alarm of row key in table (notas, tareas or quillomar_recordatorios) was
// announced for minute.
bool contains(const QString &databaseFile, const QString &table, qint64 key, const QDateTime &minute);

// Notes the alarm as announced, and forgets those announced for a minute before dropBefore.
bool add(const QString &databaseFile, const QString &table, qint64 key, const QDateTime &minute,
         const QDateTime &dropBefore);

} // namespace AnnouncedAlarms
