#pragma once

#include "data/AppContext.h"
#include "data/Diary.h"

#include <QDateTime>
#include <QString>
#include <QTimer>
#include <memory>

class ActivityWatch;
class AgendaBackups;
class AlarmScan;
class Form1;
class SingleInstance;
class SyncSchedule;

// The running program: the diary and the services that start with it (one running copy, the
// settings, the agenda opened, the alarm scan, the safety copies), and the main window that
// shows the diary. main() makes one; the main window receives the diary and the context from it.
class Application final
{
public:
    explicit Application(AppContext &context);
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // Start-up, before the main window is first shown: refuses a second running copy, reads the
    // settings, places the window, opens the agenda and sets the shown week to today's. What the
    // week need not wait for (the missed alarms, the alarm scan, the safety copies) starts once
    // the week is on the screen, or after RestDelayMs where the window is not shown; alarms due
    // meanwhile still ring. A step that fails is told and the next one runs.
    // Returns false when the program must end at once (another copy is running).
    bool Form_Load();

    static constexpr int RestDelayMs = 1500;
    // After the week is painted, the rest waits this long for the screen to show it.
    static constexpr int IdleDelayMs = 250;
    // Once the services have started, the memory their first steps freed is given back after this
    // long; the safety copy and the search index's pass give theirs back when they end.
    static constexpr int SettleDelayMs = 1000;
    // The search index's look over every entry (a first session, or a cache lost) starts this long
    // after the services: on a large agenda it reads the whole file, and the user's first clicks
    // come first. Catching up with a few changes never waits.
    static constexpr int IndexLookOverDelayMs = 5000;

    Form1 &mainWindow() { return *m_form1; }
    Diary &diary() { return m_diary; }
    QString databaseFile() const;
    AlarmScan *alarmScan() const { return m_alarmScan.get(); }

    QTimer Timer1; // the alarm scan, also while the main window is hidden

private:
    void OpenCursors();
    // The missed alarms, the alarm scan, the safety copies and the sync's turns, once.
    void startServices();

    AppContext &m_context;
    Diary m_diary;
    std::unique_ptr<ActivityWatch> m_activity;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<AlarmScan> m_alarmScan;
    std::unique_ptr<AgendaBackups> m_backups;
    std::unique_ptr<SyncSchedule> m_syncSchedule;
    QDateTime m_startedAt;
    bool m_agendaOpened = false;
    bool m_servicesStarted = false;
    // Goes first: its sections keep what is being typed as they go, into the diary, while the
    // diary is still open.
    std::unique_ptr<Form1> m_form1;
};
