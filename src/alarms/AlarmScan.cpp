#include "AlarmScan.h"

#include "Form6.h"
#include "MissedAlarms.h"
#include "MissedAlarmsWindow.h"
#include "data/AlarmMark.h"
#include "data/AnnouncedAlarms.h"
#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/Diary.h"
#include "data/PendingReminders.h"
#include "data/Schema.h"
#include "data/store/Criterion.h"
#include "data/store/RecordCursor.h"

#include <QList>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <utility>

AlarmScan::AlarmScan(Diary &diary, AppContext &context, QTimer &timer, Announce announce)
    : m_diary(diary)
    , m_data4(diary.Data4)
    , m_data5(diary.Data5)
    , m_context(context)
    , m_timer(timer)
    , m_announce(std::move(announce))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &AlarmScan::Timer1_Timer);
}

AlarmScan::~AlarmScan()
{
    m_timer.stop();
    disconnect(&m_timer, nullptr, this, nullptr);
    // The program is ending: the window goes without the user having closed it, so no alarm
    // is cleared.
    delete m_window.data();
    delete m_missedWindow.data();
}

MissedAlarmsWindow *AlarmScan::missedWindow() const
{
    return m_missedWindow.data();
}

void AlarmScan::showMissed(const QDateTime &startedAt)
{
    const QString file = m_data4.DatabaseName;
    const QDateTime firstScan = minuteStart(startedAt.isValid() ? startedAt : m_context.clock->now());
    listMissed(AlarmMark::read(file), firstScan);
    // Listed once: the next start looks only after this minute.
    m_lastScanned = firstScan.addSecs(-60);
    AlarmMark::write(file, m_lastScanned);
}

void AlarmScan::listMissed(const QDateTime &after, const QDateTime &before)
{
    QList<DueAlarm> missed = MissedAlarms::find(m_data4.DatabaseName, after, before);
    missed.removeIf([this](const DueAlarm &alarm) { return !firstAnnouncement(alarm); });
    if (missed.isEmpty())
        return;
    if (m_missedWindow && m_missedWindow->isVisible()) {
        m_missedWindow->add(missed);
        m_missedWindow->raise();
        return;
    }
    m_missedWindow = new MissedAlarmsWindow(m_context, m_diary, missed);
    m_missedWindow->show();
}

bool AlarmScan::firstAnnouncement(const DueAlarm &alarm)
{
    const auto [table, key] = alarm.row();
    const QDateTime minute = alarm.minute();
    const QString file = m_data4.DatabaseName;
    const QString id = alarm.name();
    if (m_announced.contains(id) || AnnouncedAlarms::contains(file, table, key, minute))
        return false;
    m_announced.insert(id);
    AnnouncedAlarms::add(file, table, key, minute, m_context.clock->now().addDays(-MissedAlarms::MaxDaysBack));
    return true;
}

void AlarmScan::start()
{
    m_timer.stop();
    m_timer.setSingleShot(true);
    m_timer.start(0);
}

void AlarmScan::Timer1_Timer()
{
    scanDue();
    m_timer.start(msToNextMinute());
}

QDateTime AlarmScan::minuteStart(const QDateTime &moment)
{
    const QTime time = moment.time();
    return QDateTime(moment.date(), QTime(time.hour(), time.minute()));
}

int AlarmScan::msToNextMinute() const
{
    const QDateTime now = m_context.clock->now();
    const qint64 ms = now.msecsTo(minuteStart(now).addSecs(60));
    return int(std::clamp<qint64>(ms, 0, 60000)) + TickMarginMs;
}

void AlarmScan::scanDue()
{
    const QDateTime now = m_context.clock->now();
    const qint64 steady = m_context.clock->steadyMs();
    const QDateTime current = minuteStart(now);

    // Where the clock landed after a gap. When the clock went a minute or more further than the
    // program's own time since it last looked, it jumped (the computer slept, the time was set
    // ahead) somewhere in the time the program ran meanwhile, and that is at most one tick's
    // interval. Otherwise the program itself could not run: the clock "lands" when it runs again.
    QDateTime landed = now;
    if (m_lookedAt.isValid()) {
        const qint64 ran = steady - m_lookedAtSteady;
        if (m_lookedAt.msecsTo(now) - ran >= 60000)
            landed = now.addMSecs(-std::clamp<qint64>(ran, 0, 60000 + TickMarginMs));
    }
    m_lookedAt = now;
    m_lookedAtSteady = steady;

    // The first tick, or the clock set back, scans the current minute only.
    QDateTime first = current;
    if (m_lastScanned.isValid() && m_lastScanned <= current) {
        const qint64 gap = m_lastScanned.secsTo(current) / 60;
        if (gap == 0)
            return; // an early tick: this minute has been scanned
        first = m_lastScanned.addSecs(60);
        if (gap > MaxCatchUpMinutes) {
            first = std::max(first, minuteStart(landed));
            listMissed(m_lastScanned, first);
        }
    }
    // Each minute in order, so the newest alarm ends on top of the window.
    for (QDateTime minute = first; minute <= current; minute = minute.addSecs(60)) {
        m_lastScanned = minute;
        scanMinute(minute);
    }
    AlarmMark::write(m_data4.DatabaseName, current);
}

void AlarmScan::scanMinute(const QDateTime &minute)
{
    const QDate date = minute.date();
    const QString time = minute.time().toString(QStringLiteral("HH:mm"));
    QList<DueAlarm> due;

    // Data4 belongs to the alarms alone; refreshing it sees every entry added or changed through
    // the other cursors. Which entries were announced is kept by the window, by numero.
    if (m_data4.Refresh()) {
        const Criterion entryCriterion = Criterion::entryAlarm(date, time);
        for (bool found = m_data4.FindFirst(entryCriterion); found && !m_data4.NoMatch();
             found = m_data4.FindNext(entryCriterion))
            due.append({DueAlarm::Kind::Entry, m_data4.Text(Schema::Notas::Texto), m_data4.currentKey(), time, date});
        // A put-off reminder rings with its entry's text as it reads now; one whose entry has been
        // deleted goes with it.
        const QString file = m_data4.DatabaseName;
        for (const PendingReminders::Reminder &reminder : PendingReminders::between(file, minute, minute)) {
            if (!m_data4.FindFirst(Criterion::numberEquals(Schema::Notas::Numero, reminder.entry)))
                continue;
            if (m_data4.NoMatch())
                PendingReminders::remove(file, reminder.id);
            else
                due.append({DueAlarm::Kind::Reminder, m_data4.Text(Schema::Notas::Texto), reminder.entry, time, date,
                            -1, reminder.id});
        }
    }

    // Data5 is shared with the task list. Refreshing a cursor cancels a record being added or
    // edited, so while the task list is in the middle of a write the tasks are read through a
    // cursor of the scan's own.
    std::unique_ptr<RecordCursor> ownTasks;
    RecordCursor *tasks = &m_data5;
    if (m_data5.editing()) {
        ownTasks = std::make_unique<RecordCursor>();
        ownTasks->DatabaseName = m_data5.DatabaseName;
        ownTasks->RecordSource = m_data5.RecordSource;
        tasks = ownTasks.get();
    }
    if (tasks->Refresh()) {
        const Criterion taskCriterion = Criterion::taskAlarm(date, time);
        for (bool found = tasks->FindFirst(taskCriterion); found && !tasks->NoMatch();
             found = tasks->FindNext(taskCriterion))
            due.append({DueAlarm::Kind::Task, QStringLiteral("TAREA: ") + tasks->Text(Schema::Tareas::Tarea), -1, time,
                        date, tasks->currentKey()});
    }

    for (const DueAlarm &alarm : due) {
        if (!firstAnnouncement(alarm))
            continue;
        if (m_announce)
            m_announce(alarm);
        else
            showInWindow(alarm);
    }
}

Form6 *AlarmScan::alarmWindow() const
{
    return m_window && m_window->isVisible() ? m_window.data() : nullptr;
}

void AlarmScan::showInWindow(const DueAlarm &alarm)
{
    // A window the user has closed is on its way out (it deletes itself); the next alarm gets a
    // fresh one, with the repetition back to its defaults.
    if (!m_window || !m_window->isVisible())
        m_window = new Form6(m_context, m_diary);
    m_window->announce(alarm);
}
