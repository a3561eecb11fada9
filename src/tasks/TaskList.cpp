#include "TaskList.h"

#include "Form8.h"
#include "TaskHandOver.h"
#include "data/AppContext.h"
#include "data/store/Criterion.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/EntryWrite.h"
#include "data/Messenger.h"
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

const QString TaskColumn = QStringLiteral("Tarea");
const QString DoneColumn = QStringLiteral("Terminada");

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
    List2->viewport()->installEventFilter(this);
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
    data.ReadAll({DoneColumn, TaskColumn},
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
    m_context.IdleCount = 0;
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
    RecordCursor &data = m_diary.Data5;
    // Only the task of that line is written: when it is gone, nothing is.
    data.FindFirst(Criterion::textEquals(TaskColumn, description));
    if (!data.NoMatch() && !(data.Edit() && data.SetField(DoneColumn, done) && data.Update())) {
        const QString why = data.lastError();
        data.CancelUpdate();
        EntryWrite::tellNotWritten(
            m_context.messenger,
            QStringLiteral("No se ha podido guardar la tarea «%1» como %2")
                .arg(description, done ? QStringLiteral("realizada") : QStringLiteral("pendiente")),
            why);
    }
    LoadTasks();
}

void TaskList::List2_Click()
{
    const QListWidgetItem *line = List2->currentItem();
    Text5->setPlainText(line ? line->text() : QString());
}

bool TaskList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == List2->viewport() && event->type() == QEvent::MouseMove)
        m_context.IdleCount = 0;
    return Section::eventFilter(watched, event);
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

bool TaskList::isRegistered(const QString &description, qint64 except)
{
    RecordCursor &data = m_diary.Data5;
    const Criterion same = Criterion::textEquals(TaskColumn, description);
    for (bool found = data.FindFirst(same); found && !data.NoMatch(); found = data.FindNext(same))
        if (data.currentKey() != except)
            return true;
    return false;
}

// Finds the task again after the dialog: the alarm scan may have moved the cursor meanwhile.
bool TaskList::standOnTask(const QString &description, qint64 key)
{
    RecordCursor &data = m_diary.Data5;
    const Criterion same = Criterion::textEquals(TaskColumn, description);
    for (bool found = data.FindFirst(same); found && !data.NoMatch(); found = data.FindNext(same))
        if (data.currentKey() == key)
            return true;
    return false;
}

// Writes every column of the record being added or edited. A task without an alarm day, or
// without an alarm time, has those columns emptied: an alarm switched off must not ring.
bool TaskList::writeTask(const TaskHandOver &task)
{
    RecordCursor &data = m_diary.Data5;
    const bool written = data.SetField(QStringLiteral("Fecha"), task.date) && data.SetField(DoneColumn, task.done) &&
        data.SetField(QStringLiteral("Hora"), task.time) && data.SetField(TaskColumn, task.description) &&
        data.SetField(QStringLiteral("Fechaalarma"),
                      task.alarmDate.isValid() ? QVariant(task.alarmDate) : QVariant()) &&
        data.SetField(QStringLiteral("Horaalarma"), task.alarmTime.isEmpty() ? QVariant() : QVariant(task.alarmTime)) &&
        data.Update();
    if (!written) {
        const QString why = data.lastError();
        data.CancelUpdate();
        EntryWrite::tellNotWritten(m_context.messenger,
                                   QStringLiteral("No se ha podido guardar la tarea «%1»").arg(task.description), why);
    }
    return written;
}

void TaskList::Command5_Click()
{
    Tag.clear();
    {
        Form8 dialog(m_context, window());
        dialog.setTaskRegistered([this](const QString &text) { return isRegistered(text); });
        openDialog(dialog, QStringLiteral("Nueva Tarea"));
    }
    TaskHandOver task;
    if (Tag.isEmpty() || !readHandOver(&task)) {
        LoadTasks();
        return;
    }
    if (isRegistered(task.description)) {
        m_context.messenger->tell(QStringLiteral("La tarea ya está registrada y no puede haber duplicados"),
                                  QStringLiteral("Atención"), Messenger::Icon::Critical);
        return;
    }
    if (m_diary.Data5.AddNew())
        writeTask(task);
    else
        EntryWrite::tellNotWritten(m_context.messenger, QStringLiteral("No se ha podido guardar la tarea"),
                                   m_diary.Data5.lastError());
    LoadTasks();
}

void TaskList::Command8_Click()
{
    const QListWidgetItem *line = List2->currentItem();
    if (!line) {
        m_context.messenger->tell(QStringLiteral("No ha seleccionado ninguna tarea"), QStringLiteral("Atención"),
                                  Messenger::Icon::Critical);
        return;
    }
    const QString description = line->text();
    RecordCursor &data = m_diary.Data5;
    data.FindFirst(Criterion::textEquals(TaskColumn, description));
    if (data.NoMatch())
        return;
    const qint64 key = data.currentKey();

    Tag.clear();
    {
        Form8 dialog(m_context, window());
        dialog.Check2->setChecked(false);
        // A task written outside the program may lack its own date or time; the dialog then
        // keeps the moment it was opened, so the task can still be saved.
        if (const QDate date = data.Date(QStringLiteral("Fecha")); date.isValid())
            dialog.setText(0, DateText::fromDate(date));
        if (const QString time = data.Text(QStringLiteral("Hora")); TaskHandOver::isTime(time))
            dialog.setText(1, time);
        dialog.setText(2, data.Text(TaskColumn));
        if (const QDate alarmDate = data.Date(QStringLiteral("Fechaalarma")); alarmDate.isValid()) {
            dialog.Check2->setChecked(true);
            dialog.setText(3, DateText::fromDate(alarmDate));
        }
        if (const QString alarmTime = data.Text(QStringLiteral("Horaalarma")); !alarmTime.isEmpty()) {
            dialog.setText(4, alarmTime);
            dialog.Check2->setChecked(true);
        }
        dialog.Check1->setChecked(data.Bool(DoneColumn));
        dialog.setTaskRegistered([this, key](const QString &text) { return isRegistered(text, key); });
        openDialog(dialog, QStringLiteral("Editar Tarea"));
    }

    TaskHandOver task;
    if (!Tag.isEmpty() && readHandOver(&task)) {
        if (isRegistered(task.description, key)) {
            m_context.messenger->tell(QStringLiteral("La tarea ya está registrada y no puede haber duplicados"),
                                      QStringLiteral("Atención"), Messenger::Icon::Critical);
        } else if (!standOnTask(description, key)) {
            EntryWrite::tellNotWritten(m_context.messenger,
                                       QStringLiteral("No se ha podido guardar la tarea «%1»").arg(description),
                                       QStringLiteral("la tarea ya no está en la agenda"));
        } else if (!data.Edit()) {
            EntryWrite::tellNotWritten(m_context.messenger,
                                       QStringLiteral("No se ha podido guardar la tarea «%1»").arg(description),
                                       data.lastError());
        } else {
            writeTask(task);
        }
    }
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
    RecordCursor &data = m_diary.Data5;
    for (bool on = data.MoveFirst(); on && !data.Eof(); on = data.MoveNext()) {
        if (data.Bool(DoneColumn) && !data.Delete()) {
            EntryWrite::tellNotWritten(m_context.messenger,
                                       QStringLiteral("No se han podido borrar las tareas finalizadas"),
                                       data.lastError());
            break;
        }
    }
    LoadTasks();
}
