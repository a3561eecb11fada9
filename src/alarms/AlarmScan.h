#pragma once

#include "DueAlarm.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <functional>

class Diary;
class Form6;
class MissedAlarmsWindow;
class QTimer;
class RecordCursor;
struct AppContext;

// Finds the diary entries and tasks whose alarm falls due and hands each to the alarm window.
//
// Every minute of the running program is scanned exactly once. The timer is re-armed after each
// tick for the start of the next minute, so ticks do not drift against the clock; a tick that
// comes late also scans the minute it skipped. After a larger gap (the computer was suspended,
// the clock was set ahead, the program could not run) the alarms that passed meanwhile do not
// ring, stale: they are listed at once in the missed alarms window, and only the minute the clock
// landed in rings (with the minute before when the tick, which comes up to a minute after the
// landing, cannot tell which of the two it was). The minute last scanned is kept in the agenda,
// so that the next start can list the alarms that fell due while the program was closed.
//
// Each alarm is announced once for its minute, rung or listed, and remembered in the agenda
// (AnnouncedAlarms): when the clock is set back, a minute that comes round again rings only the
// alarms not yet announced for it, and a task, whose row the alarm window leaves as it was, does
// not ring twice.
class AlarmScan final : public QObject
{
    Q_OBJECT

public:
    using Announce = std::function<void(const DueAlarm &)>;

    // Late ticks catch up on skipped minutes only while the gap is at most this many minutes.
    static constexpr int MaxCatchUpMinutes = 2;
    // Ticks aim this far past the start of a minute, so a timer firing a hair early still lands
    // inside the new minute.
    static constexpr int TickMarginMs = 20;

    // The scan reads the diary's cursors Data4 (notas) and Data5 (tareas); timer is the main
    // window's Timer1, which the scan drives from now on. Without an announce function the alarms go to
    // the scan's own alarm window (created when first needed, one at a time).
    AlarmScan(Diary &diary, AppContext &context, QTimer &timer, Announce announce = {});
    ~AlarmScan() override;

    // Arms the timer: the first tick scans the current minute as soon as the event loop runs.
    void start();
    // Before the first tick: shows, in a window of their own, the alarms that fell due between
    // the last minute scanned in an earlier run (remembered in the agenda) and the minute of
    // startedAt (now when invalid), and makes the first tick scan from that minute on: an alarm
    // due between the program's start and a later first tick still rings.
    void showMissed(const QDateTime &startedAt = {});
    MissedAlarmsWindow *missedWindow() const;
    // The timer's tick: scans what is due and re-arms for the next minute.
    void Timer1_Timer();

    // Scans every minute due by the clock that was not scanned yet.
    void scanDue();
    // Scans one minute: every diary entry of that date and every unfinished task of that date
    // whose alarm is that "HH:MM".
    void scanMinute(const QDateTime &minute);
    // Milliseconds from now to just past the start of the next minute.
    int msToNextMinute() const;

    QDateTime lastScanned() const { return m_lastScanned; }
    // The alarm window, while one is open; nullptr otherwise or with an announce function.
    Form6 *alarmWindow() const;

    static QDateTime minuteStart(const QDateTime &moment);

private:
    // Lists the alarms due after the minute after and before the minute before in the missed
    // alarms window, those not announced yet.
    void listMissed(const QDateTime &after, const QDateTime &before);
    // True, noting it, when alarm was not announced yet for its minute.
    bool firstAnnouncement(const DueAlarm &alarm);
    void showInWindow(const DueAlarm &alarm);

    Diary &m_diary;
    RecordCursor &m_data4;
    RecordCursor &m_data5;
    AppContext &m_context;
    QTimer &m_timer;
    Announce m_announce;
    QDateTime m_lastScanned;
    // When scanDue last looked at the clock, by the clock and by the program's own steady time.
    QDateTime m_lookedAt;
    qint64 m_lookedAtSteady = 0;
    // The alarms announced while running, also when the agenda cannot note them.
    QSet<QString> m_announced;
    QPointer<Form6> m_window;
    QPointer<MissedAlarmsWindow> m_missedWindow;
};
