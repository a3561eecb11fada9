#include "TaskStore.h"

#include "WriteRules.h"

#include "Diary.h"
#include "Schema.h"
#include "interchange/InterchangeLinks.h"

#include <QTime>

namespace {

namespace Column = Schema::Tareas;

const QString Duplicate = QStringLiteral("La tarea ya está registrada y no puede haber duplicados");
const QString Gone = QStringLiteral("La tarea ya no está en la agenda");

// A time as the columns hold it: "HH:MM", no more and no fewer characters.
bool isTime(const QString &text)
{
    return text.size() == 5 && QTime::fromString(text, QStringLiteral("HH:mm")).isValid();
}

} // namespace

TaskStore::TaskStore(Diary &diary)
    : m_diary(diary)
{}

bool TaskStore::open()
{
    // The diary may have been opened on another agenda since the last write.
    return WriteRules::openOn(m_tareas, m_diary.databaseFile(), Column::Table);
}

// Puts the store's cursor on the task; a task no longer there is refused, an agenda that cannot
// be read has failed.
StoreResult TaskStore::standOn(qint64 key)
{
    if (m_tareas.FindKey(key))
        return StoreResult::ok(key);
    return m_tareas.NoMatch() ? StoreResult::refused(Gone) : WriteRules::failure(m_tareas);
}

std::optional<Task> TaskStore::task(qint64 key)
{
    if (!open() || !standOn(key))
        return std::nullopt;
    Task task;
    task.key = key;
    task.date = m_tareas.Date(Column::Fecha);
    task.time = m_tareas.Text(Column::Hora);
    task.description = m_tareas.Text(Column::Tarea);
    task.done = m_tareas.Bool(Column::Terminada);
    task.alarmDate = m_tareas.Date(Column::FechaAlarma);
    task.alarmTime = m_tareas.Text(Column::HoraAlarma);
    return task;
}

qint64 TaskStore::keyOf(const QString &description)
{
    if (!open() || !m_tareas.FindFirst(Criterion::textEquals(Column::Tarea, description)) || m_tareas.NoMatch())
        return -1;
    return m_tareas.currentKey();
}

bool TaskStore::isRegistered(const QString &description, qint64 except)
{
    if (!open())
        return false;
    const Criterion same = Criterion::textEquals(Column::Tarea, description);
    for (bool found = m_tareas.FindFirst(same); found && !m_tareas.NoMatch(); found = m_tareas.FindNext(same))
        if (m_tareas.currentKey() != except)
            return true;
    return false;
}

StoreResult TaskStore::refusal(const Task &task)
{
    if (task.description.isEmpty())
        return StoreResult::refused(QStringLiteral("No se ha indicado una descripción de la tarea"));
    if (!task.date.isValid())
        return StoreResult::refused(QStringLiteral("La tarea no tiene la fecha del día en que se anotó"));
    if (!isTime(task.time))
        return StoreResult::refused(QStringLiteral("La «Hora» de la tarea debe ser una hora con el formato hh:mm"));
    if (!task.alarmTime.isEmpty() && !task.alarmDate.isValid())
        return StoreResult::refused(QStringLiteral("La alarma de la tarea no tiene «Día»"));
    if (!task.alarmTime.isEmpty() && !isTime(task.alarmTime))
        return StoreResult::refused(QStringLiteral("La «Hora» de la alarma debe ser una hora con el formato hh:mm"));
    if (isRegistered(task.description, task.key))
        return StoreResult::refused(Duplicate);
    return StoreResult::ok(task.key);
}

StoreResult TaskStore::written(qint64 key)
{
    m_diary.notifyChanged({DiaryChange::Kind::Tasks, key});
    return StoreResult::ok(key);
}

StoreResult TaskStore::add(const Task &task)
{
    if (!open())
        return WriteRules::failure(m_tareas);
    Task added = task;
    added.key = -1;
    if (StoreResult refused = refusal(added); !refused)
        return refused;
    if (!m_tareas.AddNew())
        return WriteRules::failure(m_tareas);
    // Every column is written, the alarm's as Null when there is none: an alarm switched off
    // must not ring.
    const bool ok = m_tareas.SetField(Column::Fecha, added.date) && m_tareas.SetField(Column::Hora, added.time) &&
        m_tareas.SetField(Column::Tarea, added.description) && m_tareas.SetField(Column::Terminada, added.done) &&
        m_tareas.SetField(Column::FechaAlarma, added.alarmDate.isValid() ? QVariant(added.alarmDate) : QVariant()) &&
        m_tareas.SetField(Column::HoraAlarma, added.alarmTime.isEmpty() ? QVariant() : QVariant(added.alarmTime)) &&
        m_tareas.Update();
    return ok ? written(m_tareas.lastAddedKey()) : WriteRules::failure(m_tareas);
}

StoreResult TaskStore::update(const Task &task)
{
    if (!open())
        return WriteRules::failure(m_tareas);
    if (StoreResult refused = refusal(task); !refused)
        return refused;
    if (StoreResult found = standOn(task.key); !found)
        return found;
    const bool ok = m_tareas.Edit() && m_tareas.SetField(Column::Fecha, task.date) &&
        m_tareas.SetField(Column::Hora, task.time) && m_tareas.SetField(Column::Tarea, task.description) &&
        m_tareas.SetField(Column::Terminada, task.done) &&
        m_tareas.SetField(Column::FechaAlarma, task.alarmDate.isValid() ? QVariant(task.alarmDate) : QVariant()) &&
        m_tareas.SetField(Column::HoraAlarma, task.alarmTime.isEmpty() ? QVariant() : QVariant(task.alarmTime)) &&
        m_tareas.Update();
    return ok ? written(task.key) : WriteRules::failure(m_tareas);
}

StoreResult TaskStore::setDone(qint64 key, bool done)
{
    if (!open())
        return WriteRules::failure(m_tareas);
    if (StoreResult found = standOn(key); !found)
        return found;
    const bool ok = m_tareas.Edit() && m_tareas.SetField(Column::Terminada, done) && m_tareas.Update();
    return ok ? written(key) : WriteRules::failure(m_tareas);
}

StoreResult TaskStore::moveAlarm(qint64 key, const QDate &date, const QString &time, const QDateTime &moment)
{
    if (!open())
        return WriteRules::failure(m_tareas);
    if (StoreResult found = standOn(key); !found)
        return found;
    // The user may have changed the alarm, or finished the task, while it rang.
    if (m_tareas.Bool(Column::Terminada) || m_tareas.Date(Column::FechaAlarma) != date ||
        m_tareas.Text(Column::HoraAlarma) != time)
        return StoreResult::refused(QStringLiteral("La tarea ya no tiene esa alarma"));
    const bool ok = m_tareas.Edit() && m_tareas.SetField(Column::FechaAlarma, moment.date()) &&
        m_tareas.SetField(Column::HoraAlarma, moment.time().toString(QStringLiteral("HH:mm"))) && m_tareas.Update();
    return ok ? written(key) : WriteRules::failure(m_tareas);
}

StoreResult TaskStore::remove(qint64 key)
{
    if (!open())
        return WriteRules::failure(m_tareas);
    if (!m_tareas.FindKey(key))
        return m_tareas.NoMatch() ? StoreResult::ok(key) : WriteRules::failure(m_tareas);
    if (!m_tareas.Delete())
        return WriteRules::failure(m_tareas);
    InterchangeLinks::forget(m_diary.databaseFile(), Column::Table, key);
    return written(key);
}

StoreResult TaskStore::removeFinished()
{
    if (!open())
        return WriteRules::failure(m_tareas);
    bool removed = false;
    for (bool on = m_tareas.MoveFirst(); on && !m_tareas.Eof(); on = m_tareas.MoveNext()) {
        if (!m_tareas.Bool(Column::Terminada))
            continue;
        const qint64 key = m_tareas.currentKey();
        if (!m_tareas.Delete()) {
            const StoreResult failure = WriteRules::failure(m_tareas);
            if (removed)
                m_diary.notifyChanged({DiaryChange::Kind::Tasks, -1});
            return failure;
        }
        InterchangeLinks::forget(m_diary.databaseFile(), Column::Table, key);
        removed = true;
    }
    // Told even when no task was finished: the list is read again as after any clearing.
    return written(-1);
}
