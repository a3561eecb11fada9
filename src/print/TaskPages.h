#pragma once

#include "PrintRequest.h"
#include "PrintedView.h"
#include "data/Task.h"

#include <QList>

// The task list on paper: the unfinished tasks, then the finished ones, each group in the list's
// order, every task with its box (ticked when done), its whole description, the day and time it
// was entered and its alarm.
class TaskPages final : public PrintedView
{
public:
    QString title() const override;
    QString read(Diary &diary) override;
    int layout(PageFlow &flow, const QSizeF &body) override;

private:
    QList<Task> m_unfinished;
    QList<Task> m_finished;
};
