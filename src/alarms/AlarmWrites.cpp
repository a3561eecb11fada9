#include "AlarmWrites.h"

#include "AlarmScan.h"
#include "MissedAlarms.h"
#include "data/DateText.h"
#include "data/Messenger.h"
#include "data/PendingReminders.h"
#include "data/TaskStore.h"
#include "data/store/Criterion.h"
#include "data/store/Database.h"
#include "data/store/RecordCursor.h"

namespace {

// Puts notas on the entry of alarm when it still has that alarm.
bool findEntry(RecordCursor &notas, const DueAlarm &alarm)
{
    return notas.FindFirst(Criterion::numberEquals(QStringLiteral("numero"), alarm.entryKey)) && !notas.NoMatch() &&
        notas.Text(QStringLiteral("horaalarma")) == alarm.alarmTime;
}

// Puts notas on the entry of a put-off reminder when the entry still has an alarm of its own
// before the reminder's minute: the alarm that was put off.
bool findPutOffEntry(RecordCursor &notas, const DueAlarm &reminder)
{
    if (!notas.FindFirst(Criterion::numberEquals(QStringLiteral("numero"), reminder.entryKey)) || notas.NoMatch())
        return false;
    const QTime time = QTime::fromString(notas.Text(QStringLiteral("horaalarma")), QStringLiteral("HH:mm"));
    const QDate date = DateText::toDate(notas.Text(QStringLiteral("fecha")));
    return time.isValid() && date.isValid() && QDateTime(date, time) < reminder.minute();
}

bool writeFields(RecordCursor &cursor, std::initializer_list<std::pair<QString, QVariant>> fields)
{
    bool written = cursor.Edit();
    for (const auto &[name, value] : fields)
        written = written && cursor.SetField(name, value);
    written = written && cursor.Update();
    if (!written)
        cursor.CancelUpdate();
    return written;
}

// Why the last write to the agenda failed, for a write made outside the cursors.
QString agendaError(const QString &file)
{
    const std::shared_ptr<Database> db = Database::open(file, nullptr);
    return db ? db->lastError() : QString();
}

} // namespace

namespace AlarmWrites {

QStringList clearEntries(RecordCursor &notas, const QList<DueAlarm> &alarms, QString *why)
{
    QStringList notCleared;
    QString reason;
    const bool open = notas.Refresh();
    for (const DueAlarm &alarm : alarms) {
        if (alarm.kind == DueAlarm::Kind::Reminder) {
            // Done with the reminder is done with the entry's alarm it was put off from, as on
            // closing any diary alarm.
            if (!PendingReminders::remove(notas.DatabaseName, alarm.reminderKey, alarm.minute())) {
                notCleared << alarm.text;
                reason = agendaError(notas.DatabaseName);
            } else if (open && findPutOffEntry(notas, alarm) &&
                       !writeFields(notas, {{QStringLiteral("horaalarma"), QStringLiteral("")}})) {
                notCleared << alarm.text;
                reason = notas.lastError();
            }
            continue;
        }
        if (alarm.kind != DueAlarm::Kind::Entry)
            continue;
        if (open && !findEntry(notas, alarm))
            continue;
        if (!open || !writeFields(notas, {{QStringLiteral("horaalarma"), QStringLiteral("")}})) {
            notCleared << alarm.text;
            reason = notas.lastError();
        }
    }
    if (!notCleared.isEmpty() && why)
        *why = reason;
    return notCleared;
}

QStringList snooze(RecordCursor &notas, TaskStore &tasks, const QList<DueAlarm> &alarms, const QDateTime &moment,
                   QString *why)
{
    const QString time = moment.time().toString(QStringLiteral("HH:mm"));
    const bool notasOpen = notas.Refresh();

    QStringList notMoved;
    QString reason;
    for (const DueAlarm &alarm : alarms) {
        bool moved = false;
        if (alarm.kind == DueAlarm::Kind::Reminder) {
            moved = PendingReminders::move(notas.DatabaseName, alarm.reminderKey, alarm.minute(), moment);
            if (!moved)
                reason = agendaError(notas.DatabaseName);
        } else if (alarm.kind == DueAlarm::Kind::Entry) {
            if (notasOpen && !findEntry(notas, alarm))
                continue;
            // An entry of that day rings at the new time; any other keeps its day, and the alarm
            // put off waits apart from it.
            const bool sameDay = notasOpen && notas.Text(QStringLiteral("fecha")) == DateText::fromDate(moment.date());
            if (sameDay)
                moved = writeFields(notas, {{QStringLiteral("horaalarma"), time}});
            else if (notasOpen)
                moved = PendingReminders::add(notas.DatabaseName, alarm.entryKey, moment,
                                              moment.addDays(-MissedAlarms::MaxDaysBack));
            if (!moved)
                reason = sameDay || !notasOpen ? notas.lastError() : agendaError(notas.DatabaseName);
        } else {
            // A task done, deleted or set to another alarm meanwhile is refused: left as it is.
            const StoreResult result = tasks.moveAlarm(alarm.taskKey, alarm.date, alarm.alarmTime, moment);
            if (result.status() == StoreResult::Status::Refused)
                continue;
            moved = result.isOk();
            if (!moved)
                reason = result.why();
        }
        if (!moved)
            notMoved << alarm.text;
    }
    if (why)
        *why = reason;
    return notMoved;
}

void snoozeFor(RecordCursor &notas, TaskStore &tasks, const QList<DueAlarm> &alarms, const QDateTime &now, int minutes,
               Messenger *messenger)
{
    const QDateTime moment = AlarmScan::minuteStart(now).addSecs(60 * minutes);
    QString why;
    const QStringList notMoved = snooze(notas, tasks, alarms, moment, &why);
    if (!notMoved.isEmpty() && messenger)
        messenger->tell(
            QStringLiteral("No se pudo posponer la alarma de:\n%1\n\n%2").arg(notMoved.join(QLatin1Char('\n')), why),
            QStringLiteral("Atención"), Messenger::Icon::Warning);
}

} // namespace AlarmWrites
