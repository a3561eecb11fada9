#include "alarms/AlarmScan.h"
#include "alarms/MissedAlarmsWindow.h"
#include "data/AlarmMark.h"
#include "data/Diary.h"
#include "data/store/Criterion.h"
#include "support/TestAgenda.h"

#include <QListWidget>
#include <QtTest>

// At start-up, the alarms that fell due while the program was closed are listed once, in a
// window of their own, in silence.
class TestMissedAlarms : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listsOnlyWhatFellDueWhileClosed();
    void firstStartListsNothing();
    void closingClearsTheListedEntries();
    void gapIsListedOnceAndTheMinuteLandedInRings_data();
    void gapIsListedOnceAndTheMinuteLandedInRings();

private:
    void addTask(const QDateTime &alarm, bool done, const QString &text);
    QStringList listed();

    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Diary> m_diary;
    QTimer m_timer;
    std::unique_ptr<AlarmScan> m_scan;
    QStringList m_rung;
    const QDateTime m_closed = QDateTime(QDate(2024, 4, 1), QTime(18, 30));
    const QDateTime m_now = QDateTime(QDate(2024, 4, 3), QTime(9, 0, 40));
};

void TestMissedAlarms::init()
{
    m_agenda = std::make_unique<TestAgenda>();
    m_diary = std::make_unique<Diary>();
    m_diary->open(m_agenda->databaseFile());
    m_agenda->clock.set(m_now);
    m_rung.clear();
    m_scan = std::make_unique<AlarmScan>(*m_diary, m_agenda->context, m_timer,
                                         [this](const DueAlarm &alarm) { m_rung << alarm.text; });
}

void TestMissedAlarms::cleanup()
{
    m_scan.reset();
    m_diary.reset();
    m_agenda.reset();
}

void TestMissedAlarms::addTask(const QDateTime &alarm, bool done, const QString &text)
{
    auto tareas = m_agenda->cursor(QStringLiteral("tareas"));
    tareas->AddNew();
    tareas->SetField(QStringLiteral("Fecha"), alarm.date());
    tareas->SetField(QStringLiteral("Terminada"), done);
    tareas->SetField(QStringLiteral("Fechaalarma"), alarm.date());
    tareas->SetField(QStringLiteral("Horaalarma"), alarm.time().toString(QStringLiteral("HH:mm")));
    tareas->SetField(QStringLiteral("Tarea"), text);
    QVERIFY(tareas->Update());
}

QStringList TestMissedAlarms::listed()
{
    QStringList lines;
    if (MissedAlarmsWindow *window = m_scan->missedWindow())
        for (int i = 0; i < window->alarmList->count(); ++i)
            lines << window->alarmList->item(i)->text();
    return lines;
}

void TestMissedAlarms::listsOnlyWhatFellDueWhileClosed()
{
    QVERIFY(AlarmMark::write(m_agenda->databaseFile(), m_closed));
    const auto entry = [this](const QDate &day, const char *alarm, const char *text) {
        m_agenda->addEntry(day, QStringLiteral("08:00"), QString::fromUtf8(text), {}, QString::fromLatin1(alarm));
    };
    entry(m_closed.date(), "18:30", "Al cerrar, ya revisada");
    entry(m_closed.date(), "18:31", "Recién cerrado");
    entry(m_now.date(), "08:59", "Un minuto antes");
    entry(m_now.date(), "09:00", "La suena el aviso normal");
    entry(m_now.date(), "11:00", "Más tarde");
    addTask(QDateTime(QDate(2024, 4, 2), QTime(7, 0)), false, QStringLiteral("Regar"));
    addTask(QDateTime(QDate(2024, 4, 2), QTime(7, 0)), true, QStringLiteral("Ya hecha"));

    m_scan->showMissed();
    QCOMPARE(listed(),
             (QStringList{QStringLiteral("01/04/2024 18:31   Recién cerrado"),
                          QStringLiteral("02/04/2024 07:00   TAREA: Regar"),
                          QStringLiteral("03/04/2024 08:59   Un minuto antes")}));
    QVERIFY(m_agenda->sound.played.isEmpty());

    // Listed once: a start right after lists nothing, even though nothing was closed.
    delete m_scan->missedWindow();
    m_scan->showMissed();
    QVERIFY(listed().isEmpty());
}

void TestMissedAlarms::firstStartListsNothing()
{
    m_agenda->addEntry(m_now.date(), QStringLiteral("08:00"), QStringLiteral("Antes"), {}, QStringLiteral("08:30"));
    m_scan->showMissed();
    QVERIFY(!m_scan->missedWindow());
    // From then on the scan keeps its moment.
    m_scan->scanDue();
    QCOMPARE(AlarmMark::read(m_agenda->databaseFile()), AlarmScan::minuteStart(m_now));
}

void TestMissedAlarms::closingClearsTheListedEntries()
{
    QVERIFY(AlarmMark::write(m_agenda->databaseFile(), m_closed));
    const qint64 missed = m_agenda->addEntry(m_now.date(), QStringLiteral("08:00"), QStringLiteral("Perdida"), {},
                                             QStringLiteral("08:30"));
    const qint64 later =
        m_agenda->addEntry(m_now.date(), QStringLiteral("08:00"), QStringLiteral("Luego"), {}, QStringLiteral("12:00"));
    m_scan->showMissed();
    QVERIFY(m_scan->missedWindow());
    m_scan->missedWindow()->close();

    auto notas = m_agenda->cursor(QStringLiteral("notas"));
    notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), missed));
    QCOMPARE(notas->Text(QStringLiteral("horaalarma")), QString());
    notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), later));
    QCOMPARE(notas->Text(QStringLiteral("horaalarma")), QStringLiteral("12:00"));
}

void TestMissedAlarms::gapIsListedOnceAndTheMinuteLandedInRings_data()
{
    // How the clock and the program's own time went on from a tick at 10:00:00.020.
    QTest::addColumn<int>("ranBefore");
    QTest::addColumn<int>("jumped");
    QTest::addColumn<int>("ranAfter");
    QTest::addColumn<QStringList>("rings");
    QTest::addColumn<QStringList>("listed");

    const QStringList sleeping{QStringLiteral("03/04/2024 10:10   Dormida"),
                               QStringLiteral("03/04/2024 10:20   TAREA: Regar"),
                               QStringLiteral("03/04/2024 10:29   Un minuto antes")};
    // The tick after a suspend comes as late as the program's time it had left: the clock landed
    // in the minute before it or in its own.
    QTest::newRow("suspended") << 40 << 30 * 60 << 20
                               << QStringList{QStringLiteral("Al despertar"), QStringLiteral("Después")} << sleeping;
    QTest::newRow("clock set ahead just before a tick")
        << 0 << 30 * 60 + 50 << 5 << QStringList{QStringLiteral("Al despertar")} << sleeping;
    // Stopped, the program rings again from the minute it runs again in.
    QTest::newRow("program stopped") << 31 * 60 << 0 << 0 << QStringList{QStringLiteral("Después")}
                                     << sleeping + QStringList{QStringLiteral("03/04/2024 10:30   Al despertar")};
}

void TestMissedAlarms::gapIsListedOnceAndTheMinuteLandedInRings()
{
    QFETCH(int, ranBefore);
    QFETCH(int, jumped);
    QFETCH(int, ranAfter);
    QFETCH(QStringList, rings);
    QFETCH(QStringList, listed);

    const QDate today = m_now.date();
    for (const auto &[time, text] : {std::pair{"10:10", "Dormida"}, std::pair{"10:29", "Un minuto antes"},
                                     std::pair{"10:30", "Al despertar"}, std::pair{"10:31", "Después"}})
        m_agenda->addEntry(today, QStringLiteral("08:00"), QString::fromUtf8(text), {}, QString::fromLatin1(time));
    addTask(QDateTime(today, QTime(10, 20)), false, QStringLiteral("Regar"));

    m_agenda->clock.set(QDateTime(today, QTime(10, 0)).addMSecs(20));
    m_scan->showMissed();
    m_scan->scanDue();
    m_agenda->clock.advanceSeconds(ranBefore);
    m_agenda->clock.jumpSeconds(jumped);
    m_agenda->clock.advanceSeconds(ranAfter);
    m_scan->scanDue();
    QCOMPARE(m_rung, rings);
    QCOMPARE(this->listed(), listed);
    QVERIFY(m_agenda->sound.played.isEmpty());

    // Once each: neither the next tick nor the next start lists them again.
    m_agenda->clock.advanceSeconds(60);
    m_scan->scanDue();
    QCOMPARE(this->listed(), listed);
    m_scan = std::make_unique<AlarmScan>(*m_diary, m_agenda->context, m_timer, [](const DueAlarm &) {});
    m_agenda->clock.advanceSeconds(600);
    m_scan->showMissed();
    QVERIFY(this->listed().isEmpty());
}

QTEST_MAIN(TestMissedAlarms)
#include "tst_missedalarms.moc"
