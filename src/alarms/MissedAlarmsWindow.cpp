#include "MissedAlarmsWindow.h"

#include "AlarmScan.h"
#include "AlarmWrites.h"
#include "SnoozeControl.h"
#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/DateText.h"
#include "data/Messenger.h"
#include "widgets/Theme.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QVBoxLayout>

MissedAlarmsWindow::MissedAlarmsWindow(AppContext &context, Diary &diary, QList<DueAlarm> alarms, QWidget *parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                  Qt::WindowStaysOnTopHint)
    , m_context(context)
    , m_diary(diary)
    , m_alarms(std::move(alarms))
{
    setObjectName(QStringLiteral("MissedAlarmsWindow"));
    setWindowTitle(QStringLiteral("Alarmas perdidas"));
    setAttribute(Qt::WA_DeleteOnClose);
    QPalette paper = palette();
    paper.setColor(QPalette::Window, Theme::Paper);
    paper.setColor(QPalette::WindowText, Theme::Ink);
    setPalette(paper);
    setAutoFillBackground(true);

    auto *heading = new QLabel(QStringLiteral("Alarmas que no sonaron a su hora"), this);
    heading->setObjectName(QStringLiteral("heading"));
    heading->setFont(Theme::serif(13, true));

    alarmList = new QListWidget(this);
    alarmList->setObjectName(QStringLiteral("alarmList"));
    alarmList->setAccessibleName(heading->text());
    alarmList->setMinimumSize(380, 140);
    listAlarms(m_alarms);

    snooze = new SnoozeControl(this);
    snooze->setObjectName(QStringLiteral("snooze"));
    connect(snooze, &SnoozeControl::snoozeWanted, this, &MissedAlarmsWindow::snoozeClicked);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(alarmList);
    layout->addWidget(snooze);

    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void MissedAlarmsWindow::add(const QList<DueAlarm> &alarms)
{
    m_alarms.append(alarms);
    listAlarms(alarms);
}

void MissedAlarmsWindow::listAlarms(const QList<DueAlarm> &alarms)
{
    for (const DueAlarm &alarm : alarms)
        alarmList->addItem(
            QStringLiteral("%1 %2   %3").arg(DateText::fromDate(alarm.date), alarm.alarmTime, alarm.text));
}

void MissedAlarmsWindow::snoozeClicked(int minutes)
{
    AlarmWrites::snoozeFor(m_diary, m_alarms, m_context.clock->now(), minutes, m_context.messenger);
    // The alarms not moved are kept as they were rather than cleared.
    m_done = true;
    close();
}

void MissedAlarmsWindow::closeEvent(QCloseEvent *event)
{
    if (!m_done) {
        m_done = true;
        QString why;
        const QStringList notCleared = AlarmWrites::clearEntries(m_diary, m_alarms, &why);
        if (!notCleared.isEmpty() && m_context.messenger)
            m_context.messenger->tell(QStringLiteral("No se pudo quitar la alarma de:\n%1\n\n%2")
                                          .arg(notCleared.join(QLatin1Char('\n')), why),
                                      QStringLiteral("Atención"), Messenger::Icon::Warning);
    }
    QWidget::closeEvent(event);
}
