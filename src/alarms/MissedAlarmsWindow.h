// MissedAlarmsWindow: "Alarmas perdidas", the alarms that passed without ringing.
#pragma once

#include "DueAlarm.h"

#include <QList>
#include <QWidget>

class QListWidget;
class QPushButton;
class Diary;
class SnoozeControl;
struct AppContext;

// "Alarmas perdidas": the alarms that fell due while the program could not ring them, shown once
// each, oldest first, in silence: at start-up those of the time the program was closed, and
// while it runs those passed in a suspend or a jump of the clock, added as the scan finds them.
// Closing it is being done with them, as with the alarm window: the diary entries' alarms are
// cleared. "Posponer" makes them all ring again a few minutes from now instead. The alarm chosen
// in the list can also be dealt with alone, by the buttons under it or its context menu:
// "Quitar", "Posponer" and "Abrir" (go to its entry or task, done with it).
class MissedAlarmsWindow final : public QWidget
{
    Q_OBJECT

public:
    MissedAlarmsWindow(AppContext &context, Diary &diary, QList<DueAlarm> alarms, QWidget *parent = nullptr);

    const QList<DueAlarm> &alarms() const { return m_alarms; }
    // Lists more alarms, below those already shown.
    void add(const QList<DueAlarm> &alarms);
    void snoozeClicked(int minutes);
    // The alarm on the list's current line alone; the window closes with the last.
    void dismissChosen();
    void snoozeChosen();
    void openChosen();

    QListWidget *alarmList = nullptr;
    QPushButton *dismissButton = nullptr;
    QPushButton *snoozeOneButton = nullptr;
    QPushButton *openButton = nullptr;
    SnoozeControl *snooze = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void listAlarms(const QList<DueAlarm> &alarms);
    // Takes the chosen alarm off the list. False when no line is chosen.
    bool takeChosen(DueAlarm *alarm);

    AppContext &m_context;
    Diary &m_diary;
    QList<DueAlarm> m_alarms;
    bool m_done = false;
};
