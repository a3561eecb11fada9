#include "TaskPages.h"

#include "PageFlow.h"
#include "PrintText.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/Schema.h"
#include "data/WriteRules.h"
#include "data/store/RecordCursor.h"

namespace Column = Schema::Tareas;

QString TaskPages::title() const
{
    return QStringLiteral("Tareas");
}

QString TaskPages::read(Diary &diary)
{
    RecordCursor tareas;
    if (!WriteRules::openOn(tareas, diary.databaseFile(), Column::Table))
        return PrintText::unreadable(tareas.lastError());
    const bool whole = tareas.ReadAll(
        {Column::Fecha, Column::Hora, Column::Tarea, Column::Terminada, Column::FechaAlarma, Column::HoraAlarma},
        [this](const QVariantList &row) {
            Task task;
            task.date = row[0].toDate();
            task.time = row[1].toString();
            task.description = row[2].toString();
            task.done = row[3].toBool();
            task.alarmDate = row[4].toDate();
            task.alarmTime = row[5].toString();
            (task.done ? m_finished : m_unfinished) << task;
        });
    return whole ? QString() : PrintText::unreadable(tareas.lastError());
}

int TaskPages::layout(PageFlow &flow, const QSizeF &body)
{
    const QFont heading = PrintText::serif(12, true);
    const QFont text = PrintText::sans(10);
    const QFont details = PrintText::sans(8);
    const QString unticked = QStringLiteral("☐");
    const QString ticked = QStringLiteral("☑");
    const qreal indent = flow.advance(text, ticked + QStringLiteral("  "));
    if (m_unfinished.isEmpty() && m_finished.isEmpty())
        flow.addBlock(flow.wrap(QStringLiteral("No hay tareas."), text, Qt::black, body.width()), true);
    for (const auto &[caption, tasks] : {std::pair{QStringLiteral("Pendientes"), &m_unfinished},
                                         std::pair{QStringLiteral("Terminadas"), &m_finished}}) {
        if (tasks->isEmpty())
            continue;
        flow.addBlock(
            flow.wrap(QStringLiteral("%1 (%2)").arg(caption).arg(tasks->size()), heading, Qt::black, body.width()),
            true, flow.points(12));
        for (const Task &task : *tasks) {
            QList<PrintedLine> lines =
                flow.wrap(task.description, text, Qt::black, body.width(), indent, task.done ? ticked : unticked);
            QString when = QStringLiteral("Anotada el %1").arg(DateText::fromDate(task.date));
            if (!task.time.isEmpty())
                when += QStringLiteral(" a las %1").arg(task.time);
            if (task.alarmDate.isValid()) {
                when += QStringLiteral(" · Alarma el %1").arg(DateText::fromDate(task.alarmDate));
                if (!task.alarmTime.isEmpty())
                    when += QStringLiteral(" a las %1").arg(task.alarmTime);
            }
            lines << flow.wrap(when, details, Qt::black, body.width(), indent);
            flow.addBlock(lines, true, flow.points(5));
        }
    }
    return flow.layout(body.height());
}
