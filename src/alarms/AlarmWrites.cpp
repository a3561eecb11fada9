#include "AlarmWrites.h"

#include "AlarmScan.h"
#include "MissedAlarms.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/EntryStore.h"
#include "data/Messenger.h"
#include "data/PendingReminders.h"
#include "data/TaskStore.h"
#include "data/store/Database.h"

namespace {

// The entry of a put-off reminder still has an alarm of its own before the reminder's minute:
// the alarm that was put off.
bool stillPutOff(const Entry &entry, const DueAlarm &reminder)
{
    const QTime time = QTime::fromString(entry.alarmTime, QStringLiteral("HH:mm"));
    return time.isValid() && entry.date.isValid() && QDateTime(entry.date, time) < reminder.minute();
}

// Why the last write to the agenda failed, for a write made outside the cursors.
QString agendaError(const QString &file)
{
    const std::shared_ptr<Database> db = Database::open(file, nullptr);
    return db ? db->lastError() : QString();
}

// The entry of alarm while it still has that alarm. Nothing when the user has deleted it or set
// another alarm meanwhile; nothing either when the agenda cannot be read, and then *unreadable
// says why.
std::optional<Entry> announcedEntry(EntryStore &entries, const DueAlarm &alarm, QString *unreadable)
{
    std::optional<Entry> entry = entries.find(alarm.entryKey, unreadable);
    if (entry && entry->alarmTime != alarm.alarmTime)
        return std::nullopt;
    return entry;
}

} // namespace

namespace AlarmWrites {

QStringList clearEntries(Diary &diary, const QList<DueAlarm> &alarms, QString *why)
{
    EntryStore &entries = diary.entries();
    const QString file = diary.databaseFile();
    QStringList notCleared;
    QString reason;
    for (const DueAlarm &alarm : alarms) {
        StoreResult cleared = StoreResult::ok();
        if (alarm.kind == DueAlarm::Kind::Reminder) {
            // Done with the reminder is done with the entry's alarm it was put off from, as on
            // closing any diary alarm.
            if (!PendingReminders::remove(file, alarm.reminderKey, alarm.minute()))
                cleared = StoreResult::failed(agendaError(file));
            else if (const std::optional<Entry> entry = entries.find(alarm.entryKey);
                     entry && stillPutOff(*entry, alarm))
                cleared = entries.setAlarmTime(alarm.entryKey, {});
        } else if (alarm.kind == DueAlarm::Kind::Entry) {
            QString unreadable;
            if (announcedEntry(entries, alarm, &unreadable))
                cleared = entries.setAlarmTime(alarm.entryKey, {});
            else if (!unreadable.isEmpty())
                cleared = StoreResult::failed(unreadable);
        }
        if (!cleared) {
            notCleared << alarm.text;
            reason = cleared.why();
        }
    }
    if (!notCleared.isEmpty() && why)
        *why = reason;
    return notCleared;
}

QStringList snooze(Diary &diary, const QList<DueAlarm> &alarms, const QDateTime &moment, QString *why)
{
    EntryStore &entries = diary.entries();
    const QString file = diary.databaseFile();
    const QString time = moment.time().toString(QStringLiteral("HH:mm"));
    TaskStore &tasks = diary.tasks();

    QStringList notMoved;
    QString reason;
    for (const DueAlarm &alarm : alarms) {
        bool moved = false;
        if (alarm.kind == DueAlarm::Kind::Reminder) {
            moved = PendingReminders::move(file, alarm.reminderKey, alarm.minute(), moment);
            if (!moved)
                reason = agendaError(file);
        } else if (alarm.kind == DueAlarm::Kind::Entry) {
            QString unreadable;
            const std::optional<Entry> entry = announcedEntry(entries, alarm, &unreadable);
            if (!entry && unreadable.isEmpty())
                continue;
            // An entry of that day rings at the new time; any other keeps its day, and the alarm
            // put off waits apart from it.
            if (!entry) {
                reason = unreadable;
            } else if (entry->date == moment.date()) {
                const StoreResult written = entries.setAlarmTime(alarm.entryKey, time);
                moved = written.isOk();
                reason = moved ? reason : written.why();
            } else {
                moved = PendingReminders::add(file, alarm.entryKey, moment, moment.addDays(-MissedAlarms::MaxDaysBack));
                reason = moved ? reason : agendaError(file);
            }
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

void snoozeFor(Diary &diary, const QList<DueAlarm> &alarms, const QDateTime &now, int minutes, Messenger *messenger)
{
    const QDateTime moment = AlarmScan::minuteStart(now).addSecs(60 * minutes);
    QString why;
    const QStringList notMoved = snooze(diary, alarms, moment, &why);
    if (!notMoved.isEmpty() && messenger)
        messenger->tell(
            QStringLiteral("No se pudo posponer la alarma de:\n%1\n\n%2").arg(notMoved.join(QLatin1Char('\n')), why),
            QStringLiteral("Atención"), Messenger::Icon::Warning);
}

void clearFor(Diary &diary, const QList<DueAlarm> &alarms, Messenger *messenger)
{
    QString why;
    const QStringList notCleared = clearEntries(diary, alarms, &why);
    if (!notCleared.isEmpty() && messenger)
        messenger->tell(
            QStringLiteral("No se pudo quitar la alarma de:\n%1\n\n%2").arg(notCleared.join(QLatin1Char('\n')), why),
            QStringLiteral("Atención"), Messenger::Icon::Warning);
}

void open(Diary &diary, const DueAlarm &alarm, Messenger *messenger)
{
    clearFor(diary, {alarm}, messenger);
    if (alarm.kind == DueAlarm::Kind::Task)
        diary.showTask(alarm.taskKey);
    else
        diary.showEntry(alarm.entryKey);
}

} // namespace AlarmWrites
