#pragma once

#include "widgets/Section.h"

class Diary;
class Form8;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class RecordCursor;
class StoreResult;
struct AppContext;
struct TaskHandOver;

// The tasks section: the to-do list of the tareas table, unfinished tasks first and finished ones
// ticked below them. A tick is stored at once; new and changed tasks come from the task dialog
// Form8 as a task hand-over. Every write goes through the diary's task store, and the list is
// read again whenever the diary says the tasks changed.
//
// Tasks are known by their description: no two tasks may share one, in any letter case.
class TaskList final : public Section
{
    Q_OBJECT

public:
    TaskList(Diary &diary, AppContext &context, QWidget *parent);
    ~TaskList() override;

    QString title() const override;
    void layoutSection() override { LayoutTasks(); }
    void enter() override;
    void activated() override { LoadTasks(); }

    QLabel *Label7 = nullptr; // "Gestión de Tareas"
    QListWidget *List2 = nullptr; // one line per task, its box ticked when done
    QPlainTextEdit *Text5 = nullptr; // the full text of the current line
    QPushButton *Command5 = nullptr; // "Nueva"
    QPushButton *Command8 = nullptr; // "Editar"
    QPushButton *Command6 = nullptr; // "Borrar"

    // The hand-over of the last task dialog; empty when it was closed without saving.
    QString Tag;
    // False while LoadTasks ticks the finished tasks, so those ticks are not stored again.
    bool TaskListReady = false;

    void LayoutTasks();
    void LoadTasks();
    void MarkTaskDone(int index);
    void List2_ItemCheck(int item);
    void List2_Click();
    void Command5_Click();
    void Command8_Click();
    void Command6_Click();

private:
    void openDialog(Form8 &dialog, const QString &caption);
    bool readHandOver(TaskHandOver *task);
    void tellNotKept(const StoreResult &result, const QString &description);
    // Selects the line of the task wanted (Diary::showTask); it stays wanted through the list
    // being read again, until the user chooses another line.
    void selectWantedTask();
    // LoadTasks without the selection.
    void fillTasks();
    QString m_wantedTask;

    Diary &m_diary;
    AppContext &m_context;
};
