#include "MissedAlarmsWindow.h"

#include "AlarmScan.h"
#include "AlarmWrites.h"
#include "SnoozeControl.h"
#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/Messenger.h"
#include "data/SnoozeChoice.h"
#include "widgets/Theme.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
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
    alarmList->setCurrentRow(0);

    // The chosen line's own buttons, also in its context menu.
    auto *lineButtons = new QHBoxLayout;
    alarmList->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto addButton = [this, lineButtons](const char *name, const QString &caption, const QString &spoken,
                                         void (MissedAlarmsWindow::*chosen)()) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAccessibleName(spoken);
        connect(button, &QPushButton::clicked, this, chosen);
        lineButtons->addWidget(button);
        auto *action = new QAction(caption, alarmList);
        connect(action, &QAction::triggered, this, chosen);
        alarmList->addAction(action);
        return button;
    };
    dismissButton = addButton("dismissButton", QStringLiteral("Quitar"), QStringLiteral("Quitar la alarma elegida"),
                              &MissedAlarmsWindow::dismissChosen);
    snoozeOneButton = addButton("snoozeOneButton", QStringLiteral("Posponer"),
                                QStringLiteral("Posponer la alarma elegida"), &MissedAlarmsWindow::snoozeChosen);
    openButton = addButton("openButton", QStringLiteral("Abrir"), QStringLiteral("Abrir la alarma elegida"),
                           &MissedAlarmsWindow::openChosen);
    lineButtons->addStretch();

    snooze = new SnoozeControl(this);
    snooze->setObjectName(QStringLiteral("snooze"));
    snooze->setMinutes(SnoozeChoice::read(m_context.paths, SnoozeControl::DefaultMinutes));
    connect(snooze, &SnoozeControl::snoozeWanted, this, &MissedAlarmsWindow::snoozeClicked);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(alarmList);
    layout->addLayout(lineButtons);
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

bool MissedAlarmsWindow::takeChosen(DueAlarm *alarm)
{
    const int row = alarmList->currentRow();
    if (m_done || row < 0 || row >= m_alarms.size())
        return false;
    *alarm = m_alarms.takeAt(row);
    delete alarmList->takeItem(row);
    if (m_alarms.isEmpty()) {
        m_done = true;
        close();
    } else {
        alarmList->setCurrentRow(std::min(row, int(m_alarms.size()) - 1));
    }
    return true;
}

void MissedAlarmsWindow::dismissChosen()
{
    DueAlarm alarm;
    if (!takeChosen(&alarm))
        return;
    AlarmWrites::clearFor(m_diary, {alarm}, m_context.messenger);
}

void MissedAlarmsWindow::snoozeChosen()
{
    DueAlarm alarm;
    if (!takeChosen(&alarm))
        return;
    SnoozeChoice::write(m_context.paths, snooze->minutes());
    AlarmWrites::snoozeFor(m_diary, {alarm}, m_context.clock->now(), snooze->minutes(), m_context.messenger);
}

void MissedAlarmsWindow::openChosen()
{
    DueAlarm alarm;
    if (!takeChosen(&alarm))
        return;
    AlarmWrites::open(m_diary, alarm, m_context.messenger);
}

void MissedAlarmsWindow::snoozeClicked(int minutes)
{
    SnoozeChoice::write(m_context.paths, minutes);
    AlarmWrites::snoozeFor(m_diary, m_alarms, m_context.clock->now(), minutes, m_context.messenger);
    // The alarms not moved are kept as they were rather than cleared.
    m_done = true;
    close();
}

void MissedAlarmsWindow::closeEvent(QCloseEvent *event)
{
    if (!m_done) {
        m_done = true;
        AlarmWrites::clearFor(m_diary, m_alarms, m_context.messenger);
    }
    QWidget::closeEvent(event);
}
