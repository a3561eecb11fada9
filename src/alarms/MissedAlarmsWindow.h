#pragma once

#include "DueAlarm.h"

#include <QList>
#include <QWidget>

class QListWidget;
class RecordCursor;
class SnoozeControl;
struct AppContext;

// "Alarmas perdidas mientras Quillomar estaba cerrado": the alarms that fell due while the
// program was closed, shown once at start-up, oldest first, in silence. Closing it is being done
// with them, as with the alarm window: the diary entries' alarms are cleared. "Posponer" makes
// them all ring again a few minutes from now instead.
class MissedAlarmsWindow final : public QWidget
{
    Q_OBJECT

public:
    MissedAlarmsWindow(AppContext &context, RecordCursor &Data4, QList<DueAlarm> alarms, QWidget *parent = nullptr);

    const QList<DueAlarm> &alarms() const { return m_alarms; }
    void snoozeClicked(int minutes);

    QListWidget *alarmList = nullptr;
    SnoozeControl *snooze = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    AppContext &m_context;
    RecordCursor &m_data4;
    QList<DueAlarm> m_alarms;
    bool m_done = false;
};
