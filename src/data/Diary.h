#pragma once

#include "DiaryChange.h"
#include "store/RecordCursor.h"

#include <QDate>
#include <QObject>
#include <memory>

class CardStore;
class TaskStore;
class DayStore;
class EntryStore;

// The open diary every section works on: the six cursors on the agenda, the day whose week is
// shown, and the two flags read across the program. Sections and dialogs receive it; none of them
// knows the main window.
class Diary final : public QObject
{
    Q_OBJECT

public:
    explicit Diary(QObject *parent = nullptr);
    ~Diary() override;

    // Opens the six cursors on the agenda file, in their order. Returns the first failure, or an
    // empty text when every cursor is open. Nothing more is written to an agenda that did not
    // open whole, nor to one that cannot be changed (readOnly() says why), until a copy is
    // restored over it: what can be read of it stays readable.
    QString open(const QString &databaseFile);
    QString databaseFile() const { return Data1.DatabaseName; }
    // Why the agenda, open whole, cannot be changed (its file or folder is read-only); empty when
    // it can.
    QString readOnly() const { return m_readOnly; }

    // Sets SelectedDate and tells whoever shows it.
    void setSelectedDate(const QDate &date);
    // How the week is reached from a section, which decides the "Semana Actual" arrows shown on
    // arrival: a found entry's week gets the arrow toward today even within today's own week,
    // a day chosen in the calendar only outside it.
    enum class Arrival { FoundEntry, ChosenDay };

    // Brings the week agenda back, showing the week of date (a found entry, a day of the calendar).
    void showWeekOf(const QDate &date, Arrival arrival = Arrival::FoundEntry);
    // Brings the diary before the user at one entry: its week, with its line selected (an alarm's
    // "Abrir"). False when the entry is gone.
    bool showEntry(qint64 numero);
    // Brings the diary before the user at the task list, with the task's line selected.
    bool showTask(qint64 key);
    // The task asked for while taskWanted is being told, else -1: a task list made in answer to the
    // request (its tab opened for the first time) selects it from here.
    qint64 wantedTask() const { return m_wantedTask; }
    // Tells every view what was written to the agenda; while changes are held (many writes in a
    // row, an import), they are told once, as everything, when released.
    void notifyChanged(const DiaryChange &change)
    {
        if (m_holdChanges)
            m_heldChange = true;
        else
            emit changed(change);
    }
    void holdChanges(bool hold)
    {
        m_holdChanges = hold;
        if (!hold && m_heldChange) {
            m_heldChange = false;
            emit changed(DiaryChange::everything());
        }
    }

    // Every write to the tasks and the cards goes through these.
    TaskStore &tasks() { return *m_tasks; }
    CardStore &cards() { return *m_cards; }
    // Where the diary's entries and days are written (and read by key).
    EntryStore &entries() { return *m_entries; }
    DayStore &days() { return *m_days; }

    QDate SelectedDate;
    RecordCursor Data1; // notas: week view, entry dialogs, text search
    RecordCursor Data4; // notas: alarms only
    RecordCursor Data2; // dias
    RecordCursor Data3; // festivosfijos
    RecordCursor Data5; // tareas
    RecordCursor DataTelefonos;

    bool TodayHasEntries = false;
    bool PendingTasks = false;

signals:
    void selectedDateChanged(const QDate &date);
    // previous is the day shown before: the week left behind decides the arrows too.
    void weekWanted(const QDate &previous, Diary::Arrival arrival);
    // Something in the agenda changed: the views that show that kind of thing read it again.
    void changed(const DiaryChange &change);
    // The line of an entry, or of a task, is wanted selected where it is shown.
    void entryWanted(qint64 numero);
    void taskWanted(qint64 key);
    // The diary is wanted before the user, also when it is hidden behind the desktop clock.
    void diaryWanted();

private:
    QString m_readOnly;
    bool m_holdChanges = false;
    qint64 m_wantedTask = -1;
    bool m_heldChange = false;
    std::unique_ptr<TaskStore> m_tasks;
    std::unique_ptr<CardStore> m_cards;
    std::unique_ptr<EntryStore> m_entries;
    std::unique_ptr<DayStore> m_days;
};
