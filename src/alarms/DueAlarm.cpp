#include "DueAlarm.h"

#include "data/PendingReminders.h"
#include "data/Schema.h"

std::pair<QString, qint64> DueAlarm::row() const
{
    switch (kind) {
    case Kind::Task:
        return {Schema::Tareas::Table, taskKey};
    case Kind::Reminder:
        return {QString::fromLatin1(PendingReminders::Table), reminderKey};
    case Kind::Entry:
        break;
    }
    return {Schema::Notas::Table, entryKey};
}

QString DueAlarm::name() const
{
    const auto [table, key] = row();
    return QStringLiteral("%1 %2 %3").arg(table).arg(key).arg(minute().toString(Qt::ISODate));
}
