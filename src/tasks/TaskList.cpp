#include "TaskList.h"

#include "Form8.h"
#include "TaskHandOver.h"
#include "data/AppContext.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/EntryWrite.h"
#include "data/Messenger.h"
#include "data/Schema.h"
#include "data/TaskStore.h"
#include "widgets/DialogSupport.h"
#include "widgets/Theme.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

// Design sizes in twips; the layout fits the rest to the panel.
constexpr double Margin = 120;
constexpr double HeadingHeight = 495;
constexpr double DisplayHeight = 1095;
constexpr double ButtonWidth = 1095;
constexpr double ButtonHeight = 375;

Task toTask(const TaskHandOver &handOver, qint64 key)
{
    return {key,           handOver.date,      handOver.time,     handOver.description,
            handOver.done, handOver.alarmDate, handOver.alarmTime};
}

QPushButton *makeButton(const char *name, const char *caption, QWidget *parent)
{
    auto *button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

TaskList::TaskList(Diary &diary, AppContext &context, QWidget *parent)
    : Section(QStringLiteral("PictureTareas"), parent)
    , m_diary(diary)
    , m_context(context)
{
    Label7 = new QLabel(QStringLiteral("Gestión de Tareas"), this);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setFont(Theme::serif(16, false, true));
    QPalette ink = Label7->palette();
    ink.setColor(QPalette::WindowText, Theme::Ink);
    Label7->setPalette(ink);
    Label7->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    QPalette page = palette();
    page.setColor(QPalette::Base, Theme::Paper.lighter(102));
    List2 = new QListWidget(this);
    List2->setObjectName(QStringLiteral("List2"));
    List2->setAccessibleName(QStringLiteral("Tareas"));
    List2->setPalette(page);
    List2->setUniformItemSizes(true);
    List2->viewport()->setMouseTracking(true);
    Label7->setBuddy(List2);
    connect(List2, &QListWidget::itemChanged, this,
            [this](QListWidgetItem *item) { List2_ItemCheck(List2->row(item)); });
    connect(List2, &QListWidget::currentRowChanged, this, &TaskList::List2_Click);

    Text5 = new QPlainTextEdit(this);
    Text5->setObjectName(QStringLiteral("Text5"));
    Text5->setAccessibleName(QStringLiteral("Texto de la tarea"));
    Text5->setReadOnly(true);
    Text5->setPalette(page);

    Command5 = makeButton("Command5", "Nueva", this);
    Command8 = makeButton("Command8", "Editar", this);
    Command6 = makeButton("Command6", "Borrar", this);
    connect(Command5, &QPushButton::clicked, this, &TaskList::Command5_Click);
    connect(Command8, &QPushButton::clicked, this, &TaskList::Command8_Click);
    connect(Command6, &QPushButton::clicked, this, &TaskList::Command6_Click);

    // The list shows the tasks as they now stand, whoever wrote them.
    connect(&m_diary, &Diary::changed, this, [this](const DiaryChange &change) {
        if (change.touches(DiaryChange::Kind::Tasks))
            LoadTasks();
    });
    const auto want = [this](qint64 key) {
        const std::optional<Task> task = m_diary.tasks().task(key);
        m_wantedTask = task ? task->description : QString();
        selectWantedTask();
    };
    connect(&m_diary, &Diary::taskWanted, this, want);
    if (m_diary.wantedTask() >= 0)
        want(m_diary.wantedTask());
}

void TaskList::selectWantedTask()
{
    if (m_wantedTask.isEmpty())
        return;
    const QList<QListWidgetItem *> lines = List2->findItems(m_wantedTask, Qt::MatchExactly);
    if (!lines.isEmpty())
        List2->setCurrentItem(lines.first());
}

TaskList::~TaskList() = default;

QString TaskList::title() const
{
    return QStringLiteral("Tareas");
}

void TaskList::enter()
{
    Text5->clear();
    List2->setCurrentRow(-1);
    List2->clearSelection();
    selectWantedTask();
}

void TaskList::LayoutTasks()
{
    auto px = [this](double twips) { return DialogSupport::toPixels(*this, twips); };
    const int width = std::max(0, this->width() - px(2 * Margin));
    Label7->setGeometry(px(Margin), 0, width, px(HeadingHeight));
    const int listHeight =
        std::max(0, height() - px(HeadingHeight) - px(DisplayHeight) - px(ButtonHeight) - px(2 * Margin));
    List2->setGeometry(px(Margin), px(HeadingHeight), width, listHeight);
    Text5->setGeometry(px(Margin), List2->y() + listHeight, width, px(DisplayHeight));
    const int buttonsTop = Text5->y() + Text5->height() + px(Margin);
    Command5->setGeometry(px(Margin), buttonsTop, px(ButtonWidth), px(ButtonHeight));
    Command8->setGeometry(px(Margin + ButtonWidth + Margin), buttonsTop, px(ButtonWidth), px(ButtonHeight));
    Command6->setGeometry(px(Margin + 2 * (ButtonWidth + Margin)), buttonsTop, px(ButtonWidth), px(ButtonHeight));
    LoadTasks();
}

void TaskList::LoadTasks()
{
    fillTasks();
    selectWantedTask();
}

void TaskList::fillTasks()
{
    // The list is rebuilt from the table each time; clearing it is no click on a line.
    const QSignalBlocker quiet(List2);
    List2->clear();
    m_diary.PendingTasks = false;
    RecordCursor &data = m_diary.Data5;
    if (data.RecordCount() == 0) {
        Text5->clear();
        return;
    }
    // Unfinished tasks first, then the finished ones, each in table order: one read of the table.
    QStringList unfinished;
    QStringList finished;
    data.ReadAll({Schema::Tareas::Terminada, Schema::Tareas::Tarea},
                 [&](const QVariantList &row) { (row[0].toBool() ? finished : unfinished) << row[1].toString(); });
    auto addLines = [this](const QStringList &tasks, Qt::CheckState state) {
        for (const QString &task : tasks) {
            auto *line = new QListWidgetItem(task);
            line->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            line->setCheckState(state);
            List2->addItem(line);
        }
    };
    addLines(unfinished, Qt::Unchecked);
    m_diary.PendingTasks = !unfinished.isEmpty();
    TaskListReady = false;
    addLines(finished, Qt::Checked);
    TaskListReady = true;
}

void TaskList::List2_ItemCheck(int item)
{
    if (TaskListReady)
        MarkTaskDone(item);
}

void TaskList::MarkTaskDone(int index)
{
    const QListWidgetItem *line = List2->item(index);
    if (!line)
        return;
    const QString description = line->text();
    const bool done = line->checkState() == Qt::Checked;
    // Only the task of that line is written: when it is gone, nothing is.
    const qint64 key = m_diary.tasks().keyOf(description);
    const StoreResult result = key < 0 ? StoreResult::refused({}) : m_diary.tasks().setDone(key, done);
    if (result.status() == StoreResult::Status::Failed)
        EntryWrite::tellNotWritten(
            m_context.messenger,
            QStringLiteral("No se ha podido guardar la tarea «%1» como %2")
                .arg(description, done ? QStringLiteral("realizada") : QStringLiteral("pendiente")),
            result.why());
    // A write done has brought the list up to date; otherwise the tick goes back.
    if (!result)
        LoadTasks();
}

void TaskList::List2_Click()
{
    const QListWidgetItem *line = List2->currentItem();
    if (line && line->text() != m_wantedTask)
        m_wantedTask.clear();
    Text5->setPlainText(line ? line->text() : QString());
}

// The dialog opens over the display box, as wide as it.
void TaskList::openDialog(Form8 &dialog, const QString &caption)
{
    dialog.setWindowTitle(caption);
    dialog.resize(Text5->width(), dialog.height());
    dialog.move(Text5->mapToGlobal(QPoint(0, 0)));
    dialog.exec();
    Tag = dialog.handOver();
}

bool TaskList::readHandOver(TaskHandOver *task)
{
    QString why;
    if (TaskHandOver::parse(Tag, task, &why))
        return true;
    EntryWrite::tellNotWritten(m_context.messenger, QStringLiteral("No se ha podido guardar la tarea"), why);
    return false;
}

// Tells the user why a task was not kept: a rule of the list in its own words, a failed write
// with its cause.
void TaskList::tellNotKept(const StoreResult &result, const QString &description)
{
    if (result.status() == StoreResult::Status::Refused)
        m_context.messenger->tell(result.why(), QStringLiteral("Atención"), Messenger::Icon::Critical);
    else if (result.status() == StoreResult::Status::Failed)
        EntryWrite::tellNotWritten(m_context.messenger,
                                   QStringLiteral("No se ha podido guardar la tarea «%1»").arg(description),
                                   result.why());
}

void TaskList::Command5_Click()
{
    Tag.clear();
    {
        Form8 dialog(m_context, window());
        dialog.setTaskRegistered([this](const QString &text) { return m_diary.tasks().isRegistered(text); });
        openDialog(dialog, QStringLiteral("Nueva Tarea"));
    }
    TaskHandOver task;
    if (Tag.isEmpty() || !readHandOver(&task)) {
        LoadTasks();
        return;
    }
    tellNotKept(m_diary.tasks().add(toTask(task, -1)), task.description);
}

void TaskList::Command8_Click()
{
    const QListWidgetItem *line = List2->currentItem();
    if (!line) {
        m_context.messenger->tell(QStringLiteral("No ha seleccionado ninguna tarea"), QStringLiteral("Atención"),
                                  Messenger::Icon::Critical);
        return;
    }
    const qint64 key = m_diary.tasks().keyOf(line->text());
    const std::optional<Task> stored = m_diary.tasks().task(key);
    if (!stored)
        return;

    Tag.clear();
    {
        Form8 dialog(m_context, window());
        dialog.Check2->setChecked(false);
        // A task written outside the program may lack its own date or time; the dialog then
        // keeps the moment it was opened, so the task can still be saved.
        if (stored->date.isValid())
            dialog.setText(0, DateText::fromDate(stored->date));
        if (TaskHandOver::isTime(stored->time))
            dialog.setText(1, stored->time);
        dialog.setText(2, stored->description);
        if (stored->alarmDate.isValid()) {
            dialog.Check2->setChecked(true);
            dialog.setText(3, DateText::fromDate(stored->alarmDate));
        }
        if (!stored->alarmTime.isEmpty()) {
            dialog.setText(4, stored->alarmTime);
            dialog.Check2->setChecked(true);
        }
        dialog.Check1->setChecked(stored->done);
        dialog.setTaskRegistered([this, key](const QString &text) { return m_diary.tasks().isRegistered(text, key); });
        openDialog(dialog, QStringLiteral("Editar Tarea"));
    }

    // The task is written by its key, wherever the alarm scan has moved the list's cursor meanwhile.
    TaskHandOver task;
    if (!Tag.isEmpty() && readHandOver(&task))
        tellNotKept(m_diary.tasks().update(toTask(task, key)), stored->description);
    LoadTasks();
}

void TaskList::Command6_Click()
{
    if (List2->count() == 0)
        return;
    if (m_context.messenger->askWithDefault(
            QStringLiteral("¿Seguro que deseas borrar todas las tareas ya finalizadas?"),
            QStringLiteral("Borrar Tareas Finalizadas"), Messenger::Icon::Question, Messenger::Yes | Messenger::No,
            Messenger::No) != Messenger::Yes)
        return;
    if (const StoreResult result = m_diary.tasks().removeFinished(); !result) {
        EntryWrite::tellNotWritten(m_context.messenger,
                                   QStringLiteral("No se han podido borrar las tareas finalizadas"), result.why());
        LoadTasks();
    }
}
