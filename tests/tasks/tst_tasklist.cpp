#include "alarms/AlarmScan.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/TaskStore.h"
#include "data/store/Criterion.h"
#include "data/store/Database.h"
#include "support/ModalDriver.h"
#include "support/TestAgenda.h"
#include "tasks/Form8.h"
#include "tasks/TaskList.h"
#include "widgets/Spinner.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

// The tasks section on a diary of its own: the order of the list, ticks stored at once, new and
// edited tasks through the dialog, and the clearing of finished tasks.
class TestTaskList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void ticksMoveTasksBetweenTheGroups();
    void emptyTableListsNothingAndAsksNothing();
    void fillingTheListWritesNothing();
    void newTaskStoresItsAlarmColumns_data();
    void newTaskStoresItsAlarmColumns();
    void duplicateDescriptionIsRefusedIgnoringCase_data();
    void duplicateDescriptionIsRefusedIgnoringCase();
    void closingTheDialogWritesNothing();
    void editShowsTheStoredAlarmAndSwitchingItOffClearsIt();
    void editWithoutALineIsRefused();
    void borrarDeletesOnlyFinishedTasksOnYes_data();
    void borrarDeletesOnlyFinishedTasksOnYes();
    void storedAlarmRingsInItsMinute();
    void listFollowsWhatTheDiaryTells();

private:
    void addTask(const QString &text, bool done, const QDate &alarmDate = {}, const QString &alarmTime = {});
    static void save(Form8 &dialog, const QString &description);
    QStringList lines() const;
    QStringList tableTasks();

    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Diary> m_diary;
    std::unique_ptr<TaskList> m_list;
};

void TestTaskList::init()
{
    m_agenda = std::make_unique<TestAgenda>();
    m_diary = std::make_unique<Diary>();
    QVERIFY(m_diary->open(m_agenda->databaseFile()).isEmpty());
    m_list = std::make_unique<TaskList>(*m_diary, m_agenda->context, nullptr);
    m_list->resize(500, 600);
    m_list->show();
    m_list->layoutSection();
}

void TestTaskList::cleanup()
{
    m_list.reset();
    m_diary.reset();
    m_agenda.reset();
}

void TestTaskList::addTask(const QString &text, bool done, const QDate &alarmDate, const QString &alarmTime)
{
    auto tareas = m_agenda->cursor(QStringLiteral("tareas"));
    QVERIFY(tareas->AddNew());
    tareas->SetField(QStringLiteral("Fecha"), QDate(2024, 4, 1));
    tareas->SetField(QStringLiteral("Hora"), QStringLiteral("09:00"));
    tareas->SetField(QStringLiteral("Tarea"), text);
    tareas->SetField(QStringLiteral("Terminada"), done);
    if (alarmDate.isValid())
        tareas->SetField(QStringLiteral("Fechaalarma"), alarmDate);
    if (!alarmTime.isEmpty())
        tareas->SetField(QStringLiteral("Horaalarma"), alarmTime);
    QVERIFY(tareas->Update());
}

void TestTaskList::save(Form8 &dialog, const QString &description)
{
    dialog.setText(2, description);
    QTest::mouseClick(dialog.Command1, Qt::LeftButton);
}

// Each line as the user meets it: its text, and "+" when ticked.
QStringList TestTaskList::lines() const
{
    QStringList result;
    for (int i = 0; i < m_list->List2->count(); ++i) {
        const QListWidgetItem *line = m_list->List2->item(i);
        result << line->text() + (line->checkState() == Qt::Checked ? QStringLiteral("+") : QString());
    }
    return result;
}

// Each row in table order: its description, and "+" when done.
QStringList TestTaskList::tableTasks()
{
    auto tareas = m_agenda->cursor(QStringLiteral("tareas"));
    QStringList result;
    for (bool on = tareas->MoveFirst(); on && !tareas->Eof(); on = tareas->MoveNext())
        result << tareas->Text(QStringLiteral("Tarea")) +
                (tareas->Bool(QStringLiteral("Terminada")) ? QStringLiteral("+") : QString());
    return result;
}

void TestTaskList::ticksMoveTasksBetweenTheGroups()
{
    addTask(QStringLiteral("Llamar a O'Brien"), true);
    addTask(QStringLiteral("B"), false);
    addTask(QStringLiteral("C"), true);
    m_list->LoadTasks();
    QCOMPARE(lines(), (QStringList{QStringLiteral("B"), QStringLiteral("Llamar a O'Brien+"), QStringLiteral("C+")}));
    QVERIFY(m_diary->PendingTasks);
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(m_list->List2);
    QCOMPARE(list->child(1)->text(QAccessible::Name), QStringLiteral("Llamar a O'Brien"));
    QVERIFY(list->child(1)->state().checked);
    QVERIFY(!list->child(0)->state().checked);

    // The user ticks B with the keyboard.
    m_list->List2->setFocus();
    m_list->List2->setCurrentRow(0);
    QTest::keyClick(m_list->List2, Qt::Key_Space);
    QCOMPARE(tableTasks(),
             (QStringList{QStringLiteral("Llamar a O'Brien+"), QStringLiteral("B+"), QStringLiteral("C+")}));
    QCOMPARE(lines(), tableTasks());
    QVERIFY(!m_diary->PendingTasks);

    // Then clears the task whose text holds an apostrophe.
    m_list->List2->item(0)->setCheckState(Qt::Unchecked);
    QCOMPARE(tableTasks(),
             (QStringList{QStringLiteral("Llamar a O'Brien"), QStringLiteral("B+"), QStringLiteral("C+")}));
    QCOMPARE(lines(), tableTasks());
    QVERIFY(m_diary->PendingTasks);
}

void TestTaskList::emptyTableListsNothingAndAsksNothing()
{
    m_list->Text5->setPlainText(QStringLiteral("de antes"));
    m_diary->PendingTasks = true;
    m_list->LoadTasks();
    QCOMPARE(m_list->List2->count(), 0);
    QVERIFY(m_list->Text5->toPlainText().isEmpty());
    QVERIFY(!m_diary->PendingTasks);
    QTest::mouseClick(m_list->Command6, Qt::LeftButton);
    QVERIFY(m_agenda->messenger.shown.isEmpty());
}

void TestTaskList::fillingTheListWritesNothing()
{
    addTask(QStringLiteral("hecha"), true);
    addTask(QStringLiteral("HECHA"), false); // a file written elsewhere: the same text in other letters
    addTask(QStringLiteral("pendiente"), false);
    const quint64 before = Database::open(m_agenda->databaseFile(), nullptr)->generation();
    m_list->LoadTasks();
    m_list->LoadTasks();
    QCOMPARE(Database::open(m_agenda->databaseFile(), nullptr)->generation(), before);
    QCOMPARE(tableTasks(),
             (QStringList{QStringLiteral("hecha+"), QStringLiteral("HECHA"), QStringLiteral("pendiente")}));
}

void TestTaskList::newTaskStoresItsAlarmColumns_data()
{
    QTest::addColumn<bool>("alarm");
    QTest::addColumn<int>("minuteSteps"); // upper arrow clicks on the minutes
    QTest::addColumn<QVariant>("alarmDate");
    QTest::addColumn<QVariant>("alarmTime");

    QTest::newRow("without alarm") << false << 0 << QVariant() << QVariant();
    QTest::newRow("alarm without time") << true << 0 << QVariant(QDate(2024, 4, 3)) << QVariant();
    QTest::newRow("alarm with time") << true << 2 << QVariant(QDate(2024, 4, 3)) << QVariant(QStringLiteral("00:02"));
}

void TestTaskList::newTaskStoresItsAlarmColumns()
{
    QFETCH(bool, alarm);
    QFETCH(int, minuteSteps);
    QFETCH(QVariant, alarmDate);
    QFETCH(QVariant, alarmTime);
    ModalDriver::whenOpens<Form8>([&](Form8 &dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Nueva Tarea"));
        QCOMPARE(dialog.width(), m_list->Text5->width());
        QCOMPARE(dialog.pos(), m_list->Text5->mapToGlobal(QPoint(0, 0)));
        dialog.Check2->setChecked(alarm);
        for (int i = 0; i < minuteSteps; ++i)
            dialog.VScroll2->triggerAction(QAbstractSlider::SliderSingleStepSub);
        dialog.Check1->setChecked(true);
        save(dialog, QStringLiteral("Renovar el carné"));
    });
    QTest::mouseClick(m_list->Command5, Qt::LeftButton);

    auto tareas = m_agenda->cursor(QStringLiteral("tareas"));
    QCOMPARE(tareas->RecordCount(), 1);
    QCOMPARE(tareas->Text(QStringLiteral("Tarea")), QStringLiteral("Renovar el carné"));
    QCOMPARE(tareas->Field(QStringLiteral("Fecha")), QVariant(QDate(2024, 4, 3)));
    QCOMPARE(tareas->Text(QStringLiteral("Hora")), QStringLiteral("03:17"));
    QVERIFY(tareas->Bool(QStringLiteral("Terminada")));
    QCOMPARE(tareas->Field(QStringLiteral("Fechaalarma")), alarmDate);
    QCOMPARE(tareas->Field(QStringLiteral("Horaalarma")), alarmTime);
    QCOMPARE(lines(), QStringList{QStringLiteral("Renovar el carné+")});
}

void TestTaskList::duplicateDescriptionIsRefusedIgnoringCase_data()
{
    QTest::addColumn<bool>("edit");
    QTest::newRow("new task") << false;
    QTest::newRow("edited task") << true;
}

void TestTaskList::duplicateDescriptionIsRefusedIgnoringCase()
{
    QFETCH(bool, edit);
    addTask(QStringLiteral("Comprar pan"), false);
    addTask(QStringLiteral("Otra"), false);
    m_list->LoadTasks();
    m_list->List2->setCurrentRow(1);
    // The refusal keeps the dialog open with everything typed: the alarm set before it is kept
    // once the user gives the task a text of its own.
    bool keptOpen = false;
    ModalDriver::whenOpens<Form8>([this, &keptOpen](Form8 &dialog) {
        QTimer::singleShot(5000, &dialog, &QDialog::reject); // a failed check must not hang the run
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.Check2->setChecked(true);
        dialog.setText(4, QStringLiteral("10:30"));
        save(dialog, QStringLiteral("COMPRAR PAN"));
        keptOpen = dialog.isVisible() && dialog.Check2->isChecked();
        QCOMPARE(QApplication::focusWidget(), dialog.Description);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Comprar leche"));
        QTest::mouseClick(dialog.Command1, Qt::LeftButton);
    });
    QTest::mouseClick(edit ? m_list->Command8 : m_list->Command5, Qt::LeftButton);
    QVERIFY(keptOpen);
    QCOMPARE(m_agenda->messenger.texts(),
             QStringList{QStringLiteral("La tarea ya está registrada y no puede haber duplicados")});
    const QStringList expected = edit
        ? QStringList{QStringLiteral("Comprar pan"), QStringLiteral("Comprar leche")}
        : QStringList{QStringLiteral("Comprar pan"), QStringLiteral("Otra"), QStringLiteral("Comprar leche")};
    QCOMPARE(tableTasks(), expected);
    auto tareas = m_agenda->cursor(QStringLiteral("tareas"));
    QVERIFY(tareas->FindFirst(Criterion::textEquals(QStringLiteral("Tarea"), QStringLiteral("Comprar leche"))));
    QCOMPARE(tareas->Text(QStringLiteral("Horaalarma")), QStringLiteral("10:30"));
}

void TestTaskList::closingTheDialogWritesNothing()
{
    addTask(QStringLiteral("Sin tocar"), false);
    m_list->LoadTasks();
    // A first dialog saves; the next one is closed by the window's close button.
    ModalDriver::whenOpens<Form8>([this](Form8 &dialog) { save(dialog, QStringLiteral("Guardada")); });
    QTest::mouseClick(m_list->Command5, Qt::LeftButton);
    const quint64 before = Database::open(m_agenda->databaseFile(), nullptr)->generation();
    for (QPushButton *button : {m_list->Command5, m_list->Command8}) {
        m_list->List2->setCurrentRow(0);
        ModalDriver::whenOpens<Form8>([](Form8 &dialog) {
            dialog.setText(2, QStringLiteral("Cambiada"));
            dialog.close();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(m_list->Tag.isEmpty());
    }
    QCOMPARE(Database::open(m_agenda->databaseFile(), nullptr)->generation(), before);
    QVERIFY(m_agenda->messenger.shown.isEmpty());
}

void TestTaskList::editShowsTheStoredAlarmAndSwitchingItOffClearsIt()
{
    addTask(QStringLiteral("Dentista"), true, QDate(2024, 5, 20), QStringLiteral("17:45"));
    m_list->LoadTasks();
    m_list->List2->setCurrentRow(0);
    ModalDriver::whenOpens<Form8>([](Form8 &dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Editar Tarea"));
        QCOMPARE(dialog.text(0), QStringLiteral("01/04/2024"));
        QCOMPARE(dialog.text(1), QStringLiteral("09:00"));
        QCOMPARE(dialog.text(2), QStringLiteral("Dentista"));
        QVERIFY(dialog.Check2->isChecked());
        QVERIFY(dialog.Text1[3]->isEnabled());
        QCOMPARE(dialog.text(3), QStringLiteral("20/05/2024"));
        QCOMPARE(dialog.text(4), QStringLiteral("17:45"));
        QVERIFY(dialog.Check1->isChecked());
        dialog.Check2->setChecked(false);
        dialog.Check1->setChecked(false);
        save(dialog, QStringLiteral("Dentista a las seis"));
    });
    QTest::mouseClick(m_list->Command8, Qt::LeftButton);

    auto tareas = m_agenda->cursor(QStringLiteral("tareas"));
    QCOMPARE(tareas->RecordCount(), 1);
    QCOMPARE(tareas->Text(QStringLiteral("Tarea")), QStringLiteral("Dentista a las seis"));
    QVERIFY(!tareas->Bool(QStringLiteral("Terminada")));
    QVERIFY(tareas->Field(QStringLiteral("Fechaalarma")).isNull());
    QVERIFY(tareas->Field(QStringLiteral("Horaalarma")).isNull());
}

void TestTaskList::editWithoutALineIsRefused()
{
    addTask(QStringLiteral("Una"), false);
    m_list->LoadTasks();
    m_list->enter();
    QTest::mouseClick(m_list->Command8, Qt::LeftButton);
    QCOMPARE(m_agenda->messenger.texts(), QStringList{QStringLiteral("No ha seleccionado ninguna tarea")});
}

void TestTaskList::borrarDeletesOnlyFinishedTasksOnYes_data()
{
    QTest::addColumn<QStringList>("tasks"); // "+" marks a finished one
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("left");

    const QStringList mixed{QStringLiteral("a+"), QStringLiteral("b"), QStringLiteral("c+"), QStringLiteral("d+")};
    QTest::newRow("yes") << mixed << int(Messenger::Yes) << QStringList{QStringLiteral("b")};
    QTest::newRow("no") << mixed << int(Messenger::No) << mixed;
    QTest::newRow("none finished") << QStringList{QStringLiteral("a"), QStringLiteral("b")} << int(Messenger::Yes)
                                   << QStringList{QStringLiteral("a"), QStringLiteral("b")};
}

void TestTaskList::borrarDeletesOnlyFinishedTasksOnYes()
{
    QFETCH(QStringList, tasks);
    QFETCH(int, answer);
    QFETCH(QStringList, left);
    for (const QString &task : tasks)
        addTask(QString(task).remove(u'+'), task.endsWith(u'+'));
    m_list->LoadTasks();
    m_agenda->messenger.answerNext(Messenger::Button(answer));
    QTest::mouseClick(m_list->Command6, Qt::LeftButton);
    QCOMPARE(m_agenda->messenger.shown.size(), 1);
    QCOMPARE(m_agenda->messenger.shown[0].title, QStringLiteral("Borrar Tareas Finalizadas"));
    QCOMPARE(tableTasks(), left);
    QCOMPARE(m_list->List2->count(), left.size());
}

void TestTaskList::storedAlarmRingsInItsMinute()
{
    ModalDriver::whenOpens<Form8>([this](Form8 &dialog) {
        dialog.Check2->setChecked(true);
        dialog.VScroll3->triggerAction(QAbstractSlider::SliderSingleStepSub); // sets 00:00
        dialog.VScroll3->triggerAction(QAbstractSlider::SliderSingleStepSub); // 01:00
        save(dialog, QStringLiteral("Sacar la basura"));
    });
    QTest::mouseClick(m_list->Command5, Qt::LeftButton);

    QTimer timer;
    QStringList rung;
    AlarmScan scan(*m_diary, m_agenda->context, timer, [&rung](const DueAlarm &alarm) { rung << alarm.text; });
    scan.scanMinute(QDateTime(QDate(2024, 4, 3), QTime(0, 59)));
    scan.scanMinute(QDateTime(QDate(2024, 4, 3), QTime(1, 0)));
    QCOMPARE(rung, QStringList{QStringLiteral("TAREA: Sacar la basura")});
}

// A task written elsewhere (another window, an import) shows without the main window's activation.
void TestTaskList::listFollowsWhatTheDiaryTells()
{
    Task task;
    task.date = QDate(2024, 4, 1);
    task.time = QStringLiteral("09:00");
    task.description = QStringLiteral("De fuera");
    QVERIFY(m_diary->tasks().add(task));
    QCOMPARE(lines(), QStringList{QStringLiteral("De fuera")});
    QVERIFY(m_diary->PendingTasks);
}

QTEST_MAIN(TestTaskList)
#include "tst_tasklist.moc"
