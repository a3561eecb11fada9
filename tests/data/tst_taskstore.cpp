#include "data/Diary.h"
#include "data/Schema.h"
#include "data/TaskStore.h"
#include "data/store/Criterion.h"
#include "data/store/Database.h"
#include "support/TestAgenda.h"

#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(Task)

// The task store's rules, on a diary of its own: what it refuses, what it tells the views, and
// that a write reaches the task it names wherever the diary's cursor stands.
class TestTaskStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Diary> m_diary;

    static Task task(const QString &description, bool done = false)
    {
        return {-1,   QDate(2024, 4, 1), QStringLiteral("09:00"), description,
                done, QDate(2024, 4, 2), QStringLiteral("10:30")};
    }
    TaskStore &store() { return m_diary->tasks(); }
    QString descriptionOf(qint64 key) { return store().task(key).value_or(Task()).description; }

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_diary = std::make_unique<Diary>();
        QCOMPARE(m_diary->open(m_agenda->databaseFile()), QString());
    }
    void cleanup()
    {
        m_diary.reset();
        m_agenda.reset();
    }

    void refusesWhatTheListDoesNotKeep_data()
    {
        QTest::addColumn<bool>("update"); // of the task "Otra"
        QTest::addColumn<Task>("written");
        QTest::addColumn<QString>("why");
        Task longTime = task(QStringLiteral("Nueva"));
        longTime.time = QStringLiteral("10:300");
        Task longAlarm = task(QStringLiteral("Nueva"));
        longAlarm.alarmTime = QStringLiteral("10:300");
        for (bool update : {false, true}) {
            const char *how = update ? "update" : "add";
            QTest::addRow("%s: duplicate in another case", how)
                << update << task(QStringLiteral("COMPRAR PAN"))
                << QStringLiteral("La tarea ya está registrada y no puede haber duplicados");
            QTest::addRow("%s: empty description", how)
                << update << task(QString()) << QStringLiteral("No se ha indicado una descripción de la tarea");
            QTest::addRow("%s: time too long", how)
                << update << longTime << QStringLiteral("La «Hora» de la tarea debe ser una hora con el formato hh:mm");
            QTest::addRow("%s: alarm time too long", how)
                << update << longAlarm
                << QStringLiteral("La «Hora» de la alarma debe ser una hora con el formato hh:mm");
        }
        QTest::addRow("update: deleted meanwhile")
            << true << task(QStringLiteral("Otra")) << QStringLiteral("La tarea ya no está en la agenda");
    }
    void refusesWhatTheListDoesNotKeep()
    {
        QFETCH(bool, update);
        QFETCH(Task, written);
        QFETCH(QString, why);
        store().add(task(QStringLiteral("Comprar pan")));
        written.key = update ? store().add(task(QStringLiteral("Otra"))).key() : -1;
        const bool deleted = why.contains(QStringLiteral("ya no está"));
        if (deleted) {
            auto tareas = m_agenda->cursor(Schema::Tareas::Table);
            QVERIFY(tareas->FindKey(written.key) && tareas->Delete());
        }
        const qint64 rows = m_agenda->cursor(Schema::Tareas::Table)->RecordCount();
        QSignalSpy told(m_diary.get(), &Diary::changed);
        const StoreResult result = update ? store().update(written) : store().add(written);
        QCOMPARE(result.status(), StoreResult::Status::Refused);
        QCOMPARE(result.why(), why);
        QCOMPARE(told.count(), 0);
        QCOMPARE(m_agenda->cursor(Schema::Tareas::Table)->RecordCount(), rows);
        if (update && !deleted)
            QCOMPARE(descriptionOf(written.key), QStringLiteral("Otra"));
    }

    void eachWriteIsToldWithItsKey_data()
    {
        QTest::addColumn<QString>("write");
        QTest::addColumn<bool>("oneTask"); // the change names the task written, not many
        for (const char *write : {"add", "update", "setDone", "moveAlarm"})
            QTest::newRow(write) << QString::fromLatin1(write) << true;
        QTest::newRow("removeFinished") << QStringLiteral("removeFinished") << false;
    }
    void eachWriteIsToldWithItsKey()
    {
        QFETCH(QString, write);
        QFETCH(bool, oneTask);
        const qint64 key = store().add(task(QStringLiteral("Dentista"))).key();
        QSignalSpy told(m_diary.get(), &Diary::changed);
        Task changed = task(QStringLiteral("Dentista a las diez"), true);
        changed.key = key;
        const StoreResult result = write == u"add" ? store().add(task(QStringLiteral("Otra")))
            : write == u"update"                   ? store().update(changed)
            : write == u"setDone"                  ? store().setDone(key, true)
            : write == u"moveAlarm"                ? store().moveAlarm(key, QDate(2024, 4, 2), QStringLiteral("10:30"),
                                                                       QDateTime(QDate(2024, 4, 3), QTime(8, 15)))
                                                   : store().removeFinished();
        QVERIFY2(result.isOk(), qPrintable(result.why()));
        QCOMPARE(told.count(), 1);
        const DiaryChange expected{DiaryChange::Kind::Tasks, oneTask ? result.key() : -1};
        QCOMPARE(told.at(0).at(0).value<DiaryChange>(), expected);
        if (oneTask)
            QVERIFY(result.key() > 0);
    }

    void storedAsWrittenAndReadBack()
    {
        Task written = task(QStringLiteral("Llamar"));
        written.key = store().add(written).key();
        QCOMPARE(*store().task(written.key), written);
        written.alarmDate = {};
        written.alarmTime.clear();
        QVERIFY(store().update(written));
        QCOMPARE(*store().task(written.key), written); // an alarm switched off is emptied
        QVERIFY(store()
                    .moveAlarm(written.key, QDate(2024, 4, 2), QStringLiteral("10:30"), QDateTime::currentDateTime())
                    .status() == StoreResult::Status::Refused); // it no longer has that alarm
    }

    void writeReachesItsTaskWhereverTheDiaryCursorStands()
    {
        const qint64 first = store().add(task(QStringLiteral("Primera"))).key();
        store().add(task(QStringLiteral("Segunda")));
        // The alarm scan or the list has left the diary's cursor on the second task.
        QVERIFY(m_diary->Data5.FindFirst(Criterion::textEquals(Schema::Tareas::Tarea, QStringLiteral("Segunda"))));
        Task changed = task(QStringLiteral("Primera cambiada"));
        changed.key = first;
        QVERIFY(store().update(changed));
        QVERIFY(store().setDone(first, true));
        QCOMPARE(descriptionOf(first), QStringLiteral("Primera cambiada"));
        QVERIFY(store().task(first)->done);
        QCOMPARE(store().keyOf(QStringLiteral("segunda")), m_diary->Data5.currentKey());
        QVERIFY(!store().task(m_diary->Data5.currentKey())->done);
    }

    void damagedAgendaIsNotWritten()
    {
        m_diary.reset();
        TestAgenda::damageTable(m_agenda->databaseFile(), Schema::Notas::Table);
        m_diary = std::make_unique<Diary>();
        QVERIFY(!m_diary->open(m_agenda->databaseFile()).isEmpty());
        const StoreResult result = store().add(task(QStringLiteral("Nueva")));
        QCOMPARE(result.status(), StoreResult::Status::Failed);
        QVERIFY2(result.why().contains(QStringLiteral("la agenda")), qPrintable(result.why()));
    }
};

QTEST_GUILESS_MAIN(TestTaskStore)
#include "tst_taskstore.moc"
