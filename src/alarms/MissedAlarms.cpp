#include "MissedAlarms.h"

#include "data/Module1.h"
#include "data/PendingReminders.h"
#include "data/Schema.h"
#include "data/store/Criterion.h"
#include "data/store/RecordCursor.h"

#include <algorithm>

namespace MissedAlarms {

QList<DueAlarm> find(const QString &databaseFile, const QDateTime &lastScanned, const QDateTime &firstScan)
{
    QList<DueAlarm> missed;
    if (!lastScanned.isValid())
        return missed;
    const QDateTime after = std::max(lastScanned, firstScan.addDays(-MaxDaysBack));
    if (after >= firstScan)
        return missed;

    RecordCursor notas, tareas;
    for (auto [cursor, table] : {std::pair{&notas, "notas"}, std::pair{&tareas, "tareas"}}) {
        cursor->DatabaseName = databaseFile;
        cursor->RecordSource = QString::fromLatin1(table);
        cursor->Refresh();
    }
    const auto collect = [&](RecordCursor &cursor, const Criterion &criterion, const QDate &day, DueAlarm::Kind kind) {
        for (bool found = cursor.FindFirst(criterion); found && !cursor.NoMatch(); found = cursor.FindNext(criterion)) {
            const QString time = cursor.Text(Schema::Notas::HoraAlarma);
            if (!Module1::CheckTime(time))
                continue;
            const QDateTime due(day, QTime::fromString(time, QStringLiteral("HH:mm")));
            if (due <= after || due >= firstScan)
                continue;
            if (kind == DueAlarm::Kind::Entry)
                missed.append({kind, cursor.Text(Schema::Notas::Texto), cursor.currentKey(), time, day});
            else
                missed.append({kind, QStringLiteral("TAREA: ") + cursor.Text(Schema::Tareas::Tarea), -1, time, day,
                               cursor.currentKey()});
        }
    };
    for (QDate day = after.date(); day <= firstScan.date(); day = day.addDays(1)) {
        collect(notas, Criterion::dateEquals(Schema::Notas::Fecha, day), day, DueAlarm::Kind::Entry);
        collect(tareas,
                Criterion::all({Criterion::dateEquals(Schema::Tareas::FechaAlarma, day),
                                Criterion::isFalse(Schema::Tareas::Terminada)}),
                day, DueAlarm::Kind::Task);
    }
    // Reminders fall on whole minutes: those after `after` and before firstScan.
    for (const PendingReminders::Reminder &reminder :
         PendingReminders::between(databaseFile, after.addSecs(1), firstScan.addSecs(-1))) {
        // A reminder whose entry has been deleted is not listed.
        if (notas.FindFirst(Criterion::numberEquals(Schema::Notas::Numero, reminder.entry)) && !notas.NoMatch())
            missed.append({DueAlarm::Kind::Reminder, notas.Text(Schema::Notas::Texto), reminder.entry,
                           reminder.moment.time().toString(QStringLiteral("HH:mm")), reminder.moment.date(), -1,
                           reminder.id});
    }
    std::stable_sort(missed.begin(), missed.end(),
                     [](const DueAlarm &a, const DueAlarm &b) { return a.minute() < b.minute(); });
    return missed;
}

} // namespace MissedAlarms
