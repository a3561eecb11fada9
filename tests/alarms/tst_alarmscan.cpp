#include "alarms/AlarmScan.h"
#include "alarms/Form6.h"
#include "data/Diary.h"
#include "support/TestAgenda.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>

// The minute scan, driven through the fake clock: which alarms ring, in which minute, and that
// every minute of the running program is scanned exactly once.
class TestAlarmScan : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void entryRingsOnlyInItsMinute_data();
    void entryRingsOnlyInItsMinute();
    void taskRingsOnlyWhenDueAndUnfinished_data();
    void taskRingsOnlyWhenDueAndUnfinished();
    void taskAddedSecondsBeforeItsMinuteRings();
    void taskBeingWrittenIsNeitherLostNorDisturbed();

    void lateTickScansTheSkippedMinute();
    void noMinuteIsLostOrScannedTwice_data();
    void noMinuteIsLostOrScannedTwice();
    void longJumpScansOnlyTheCurrentMinute();
    void clockSetBackScansTheCurrentMinuteOnce();
    void clockSetBackRingsNoAlarmTwice_data();
    void clockSetBackRingsNoAlarmTwice();
    void ticksAreAlignedToMinuteStarts_data();
    void ticksAreAlignedToMinuteStarts();

    void everyAlarmOfOneMinuteRings();
    void twoEntriesInOneMinuteAreBothClearedOnClosing();
    void closingATaskAlarmChangesNoRow();
    void alarmArrivingWhileOpenIsAddedAndCleared();
    void entryAndTaskInOneMinuteAreBothShown();

private:
    void addTask(const QString &text, const QDate &alarmDate, const QString &alarmTime, bool done = false);
    AlarmScan &makeScan(bool withWindow = false);
    QStringList rung() const;
    QString alarmOf(qint64 numero);
    void setClock(const QTime &time, int ms = 0);

    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Diary> m_diary;
    std::unique_ptr<QTimer> m_timer;
    std::unique_ptr<AlarmScan> m_scan;
    QList<DueAlarm> m_announced;
    const QDate m_today = QDate(2024, 4, 3);
};

void TestAlarmScan::init()
{
    m_agenda = std::make_unique<TestAgenda>();
    m_diary = std::make_unique<Diary>();
    m_diary->open(m_agenda->databaseFile());
    m_timer = std::make_unique<QTimer>();
    m_announced.clear();
    setClock(QTime(10, 0));
}

void TestAlarmScan::cleanup()
{
    m_scan.reset();
    m_timer.reset();
    m_diary.reset();
    m_agenda.reset();
}

void TestAlarmScan::setClock(const QTime &time, int ms)
{
    m_agenda->clock.set(QDateTime(m_today, time).addMSecs(ms));
}

AlarmScan &TestAlarmScan::makeScan(bool withWindow)
{
    AlarmScan::Announce record;
    if (!withWindow)
        record = [this](const DueAlarm &alarm) { m_announced << alarm; };
    m_scan = std::make_unique<AlarmScan>(*m_diary, m_agenda->context, *m_timer, record);
    return *m_scan;
}

QStringList TestAlarmScan::rung() const
{
    QStringList texts;
    for (const DueAlarm &alarm : m_announced)
        texts << alarm.text;
    return texts;
}

void TestAlarmScan::addTask(const QString &text, const QDate &alarmDate, const QString &alarmTime, bool done)
{
    auto tareas = m_agenda->cursor(QStringLiteral("tareas"));
    QVERIFY(tareas->AddNew());
    tareas->SetField(QStringLiteral("Fecha"), alarmDate.isValid() ? alarmDate : m_today);
    tareas->SetField(QStringLiteral("Hora"), QStringLiteral("09:00"));
    tareas->SetField(QStringLiteral("Terminada"), done);
    if (alarmDate.isValid())
        tareas->SetField(QStringLiteral("Fechaalarma"), alarmDate);
    if (!alarmTime.isEmpty())
        tareas->SetField(QStringLiteral("Horaalarma"), alarmTime);
    tareas->SetField(QStringLiteral("Tarea"), text);
    QVERIFY2(tareas->Update(), qPrintable(tareas->lastError()));
}

QString TestAlarmScan::alarmOf(qint64 numero)
{
    auto notas = m_agenda->cursor(QStringLiteral("notas"));
    notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), numero));
    return notas->NoMatch() ? QStringLiteral("<missing>") : notas->Text(QStringLiteral("horaalarma"));
}

void TestAlarmScan::entryRingsOnlyInItsMinute_data()
{
    QTest::addColumn<int>("dayOffset");
    QTest::addColumn<QString>("alarm");
    QTest::addColumn<QTime>("scanAt");
    QTest::addColumn<bool>("rings");

    QTest::newRow("its minute, at its start") << 0 << "10:05" << QTime(10, 5, 0) << true;
    QTest::newRow("its minute, late in it") << 0 << "10:05" << QTime(10, 5, 59) << true;
    QTest::newRow("the minute before") << 0 << "10:05" << QTime(10, 4, 59) << false;
    QTest::newRow("the minute after") << 0 << "10:05" << QTime(10, 6, 0) << false;
    QTest::newRow("same minute, other hour") << 0 << "11:05" << QTime(10, 5) << false;
    QTest::newRow("yesterday's entry") << -1 << "10:05" << QTime(10, 5) << false;
    QTest::newRow("tomorrow's entry") << 1 << "10:05" << QTime(10, 5) << false;
    QTest::newRow("no alarm") << 0 << "" << QTime(10, 5) << false;
    QTest::newRow("midnight") << 0 << "00:00" << QTime(0, 0, 10) << true;
}

void TestAlarmScan::entryRingsOnlyInItsMinute()
{
    QFETCH(int, dayOffset);
    QFETCH(QString, alarm);
    QFETCH(QTime, scanAt);
    QFETCH(bool, rings);

    m_agenda->addEntry(m_today.addDays(dayOffset), QStringLiteral("09:00"), QStringLiteral("Dentista"), {}, alarm);
    setClock(scanAt);
    makeScan().scanDue();
    QCOMPARE(rung(), rings ? QStringList{QStringLiteral("Dentista")} : QStringList{});
    if (rings)
        QCOMPARE(m_announced.first().kind, DueAlarm::Kind::Entry);
}

void TestAlarmScan::taskRingsOnlyWhenDueAndUnfinished_data()
{
    QTest::addColumn<int>("dayOffset");
    QTest::addColumn<QString>("alarm");
    QTest::addColumn<bool>("done");
    QTest::addColumn<bool>("rings");

    QTest::newRow("due, unfinished") << 0 << "10:05" << false << true;
    QTest::newRow("due, finished") << 0 << "10:05" << true << false;
    QTest::newRow("alarm date but no time") << 0 << "" << false << false;
    QTest::newRow("other minute") << 0 << "10:06" << false << false;
    QTest::newRow("other date") << 1 << "10:05" << false << false;
}

void TestAlarmScan::taskRingsOnlyWhenDueAndUnfinished()
{
    QFETCH(int, dayOffset);
    QFETCH(QString, alarm);
    QFETCH(bool, done);
    QFETCH(bool, rings);

    addTask(QStringLiteral("Pagar el seguro"), m_today.addDays(dayOffset), alarm, done);
    setClock(QTime(10, 5, 30));
    makeScan().scanDue();
    QCOMPARE(rung(), rings ? QStringList{QStringLiteral("TAREA: Pagar el seguro")} : QStringList{});
    if (rings)
        QCOMPARE(m_announced.first().kind, DueAlarm::Kind::Task);
}

void TestAlarmScan::taskAddedSecondsBeforeItsMinuteRings()
{
    AlarmScan &scan = makeScan();
    setClock(QTime(10, 4, 0), 20);
    scan.scanDue();
    setClock(QTime(10, 4, 55));
    addTask(QStringLiteral("Llamar a Marta"), m_today, QStringLiteral("10:05"));
    setClock(QTime(10, 5, 0), 20);
    scan.scanDue();
    QCOMPARE(rung(), QStringList{QStringLiteral("TAREA: Llamar a Marta")});
}

void TestAlarmScan::taskBeingWrittenIsNeitherLostNorDisturbed()
{
    addTask(QStringLiteral("Recoger el traje"), m_today, QStringLiteral("10:05"));
    QVERIFY(m_diary->Data5.AddNew());
    QVERIFY(m_diary->Data5.SetField(QStringLiteral("Tarea"), QStringLiteral("a medio escribir")));
    setClock(QTime(10, 5));
    makeScan().scanDue();
    QCOMPARE(rung(), QStringList{QStringLiteral("TAREA: Recoger el traje")});
    QVERIFY(m_diary->Data5.editing());
    QCOMPARE(m_diary->Data5.Text(QStringLiteral("Tarea")), QStringLiteral("a medio escribir"));
}

void TestAlarmScan::lateTickScansTheSkippedMinute()
{
    m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("a las 10:05"), {}, QStringLiteral("10:05"));
    m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("a las 10:06"), {}, QStringLiteral("10:06"));
    AlarmScan &scan = makeScan();
    setClock(QTime(10, 4, 0), 20);
    scan.scanDue();
    // The 10:05 tick came late, after 10:06 had begun.
    setClock(QTime(10, 6, 1));
    scan.scanDue();
    QCOMPARE(rung(), (QStringList{QStringLiteral("a las 10:05"), QStringLiteral("a las 10:06")}));
    setClock(QTime(10, 6, 40));
    scan.scanDue();
    setClock(QTime(10, 7, 0), 20);
    scan.scanDue();
    QCOMPARE(m_announced.size(), 2);
}

void TestAlarmScan::noMinuteIsLostOrScannedTwice_data()
{
    QTest::addColumn<QList<int>>("tickSeconds"); // seconds after 10:00:00 at which ticks arrive

    QTest::newRow("aligned ticks") << QList<int>{0, 60, 120, 180, 240, 300};
    QTest::newRow("drifting 60 s ticks") << QList<int>{59, 119, 179, 239, 299, 359};
    QTest::newRow("early and late ticks") << QList<int>{0, 59, 61, 119, 181, 182, 299, 300, 419};
    QTest::newRow("repeated ticks in one minute") << QList<int>{0, 1, 2, 61, 62, 121, 179, 180};
    QTest::newRow("one skipped minute twice") << QList<int>{5, 130, 250, 370};
}

void TestAlarmScan::noMinuteIsLostOrScannedTwice()
{
    QFETCH(QList<int>, tickSeconds);
    // An entry for every minute from 10:00 to 10:10.
    for (int minute = 0; minute <= 10; ++minute) {
        const QString time = QTime(10, minute).toString(QStringLiteral("HH:mm"));
        m_agenda->addEntry(m_today, QStringLiteral("09:00"), time, {}, time);
    }
    AlarmScan &scan = makeScan();
    for (int second : tickSeconds) {
        setClock(QTime(10, 0).addSecs(second));
        scan.scanDue();
    }
    QStringList expected;
    for (int minute = tickSeconds.first() / 60; minute <= tickSeconds.last() / 60; ++minute)
        expected << QTime(10, minute).toString(QStringLiteral("HH:mm"));
    QCOMPARE(rung(), expected);
}

void TestAlarmScan::longJumpScansOnlyTheCurrentMinute()
{
    m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("pasada"), {}, QStringLiteral("10:10"));
    m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("ahora"), {}, QStringLiteral("10:30"));
    AlarmScan &scan = makeScan();
    setClock(QTime(10, 0));
    scan.scanDue();
    // The computer slept from 10:00 to 10:30.
    setClock(QTime(10, 30, 4));
    scan.scanDue();
    QCOMPARE(rung(), QStringList{QStringLiteral("ahora")});
    // A jump of three minutes is already too long to catch up.
    m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("saltada"), {}, QStringLiteral("10:32"));
    setClock(QTime(10, 33, 0));
    scan.scanDue();
    QCOMPARE(rung(), QStringList{QStringLiteral("ahora")});
}

void TestAlarmScan::clockSetBackScansTheCurrentMinuteOnce()
{
    m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("de nuevo"), {}, QStringLiteral("09:50"));
    AlarmScan &scan = makeScan();
    setClock(QTime(10, 0));
    scan.scanDue();
    setClock(QTime(9, 50, 10));
    scan.scanDue();
    setClock(QTime(9, 50, 50));
    scan.scanDue();
    QCOMPARE(rung(), QStringList{QStringLiteral("de nuevo")});
    QCOMPARE(scan.lastScanned(), QDateTime(m_today, QTime(9, 50)));
}

void TestAlarmScan::clockSetBackRingsNoAlarmTwice_data()
{
    QTest::addColumn<bool>("task");
    QTest::addColumn<bool>("restart");

    QTest::newRow("entry, its window still open") << false << false;
    QTest::newRow("task") << true << false;
    QTest::newRow("task, the program started again") << true << true;
}

void TestAlarmScan::clockSetBackRingsNoAlarmTwice()
{
    QFETCH(bool, task);
    QFETCH(bool, restart);

    if (task)
        addTask(QStringLiteral("Regar"), m_today, QStringLiteral("10:05"));
    else
        m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("Regar"), {}, QStringLiteral("10:05"));
    setClock(QTime(10, 5));
    makeScan().scanDue();
    const QStringList first = rung();
    QCOMPARE(first.size(), 1);

    // The clock is set back: 10:00 to 10:05 come round again, and an alarm set meanwhile rings.
    setClock(QTime(10, 0));
    if (restart)
        makeScan();
    m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("Nueva"), {}, QStringLiteral("10:03"));
    for (int minute = 0; minute <= 6; ++minute) {
        setClock(QTime(10, minute));
        m_scan->scanDue();
    }
    QCOMPARE(rung(), first + QStringList{QStringLiteral("Nueva")});
}

void TestAlarmScan::ticksAreAlignedToMinuteStarts_data()
{
    QTest::addColumn<QTime>("now");
    QTest::addColumn<int>("ms");
    QTest::addColumn<int>("expected");

    QTest::newRow("at a minute start") << QTime(10, 0, 0) << 0 << 60000 + AlarmScan::TickMarginMs;
    QTest::newRow("mid minute") << QTime(10, 0, 20) << 0 << 40000 + AlarmScan::TickMarginMs;
    QTest::newRow("just before") << QTime(10, 0, 59) << 900 << 100 + AlarmScan::TickMarginMs;
    QTest::newRow("before midnight") << QTime(23, 59, 30) << 0 << 30000 + AlarmScan::TickMarginMs;
}

void TestAlarmScan::ticksAreAlignedToMinuteStarts()
{
    QFETCH(QTime, now);
    QFETCH(int, ms);
    QFETCH(int, expected);

    setClock(now, ms);
    AlarmScan &scan = makeScan();
    QCOMPARE(scan.msToNextMinute(), expected);

    // A tick re-arms the main window's timer, once, for the next minute start.
    scan.start();
    QVERIFY(m_timer->isActive());
    QVERIFY(m_timer->isSingleShot());
    QCOMPARE(m_timer->interval(), 0);
    scan.Timer1_Timer();
    QVERIFY(m_timer->isActive());
    QCOMPARE(m_timer->interval(), expected);
    QCOMPARE(scan.lastScanned(), AlarmScan::minuteStart(m_agenda->clock.now()));
}

void TestAlarmScan::everyAlarmOfOneMinuteRings()
{
    m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("primera"), {}, QStringLiteral("10:05"));
    m_agenda->addEntry(m_today, QStringLiteral("09:30"), QStringLiteral("segunda"), {}, QStringLiteral("10:05"));
    addTask(QStringLiteral("una"), m_today, QStringLiteral("10:05"));
    addTask(QStringLiteral("otra"), m_today, QStringLiteral("10:05"));
    setClock(QTime(10, 5));
    makeScan().scanDue();
    QCOMPARE(rung(),
             (QStringList{QStringLiteral("primera"), QStringLiteral("segunda"), QStringLiteral("TAREA: una"),
                          QStringLiteral("TAREA: otra")}));
}

void TestAlarmScan::twoEntriesInOneMinuteAreBothClearedOnClosing()
{
    const qint64 first =
        m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("primera"), {}, QStringLiteral("10:05"));
    const qint64 second =
        m_agenda->addEntry(m_today, QStringLiteral("09:30"), QStringLiteral("segunda"), {}, QStringLiteral("10:05"));
    const qint64 other =
        m_agenda->addEntry(m_today, QStringLiteral("11:00"), QStringLiteral("otra"), {}, QStringLiteral("11:00"));
    setClock(QTime(10, 5));
    AlarmScan &scan = makeScan(true);
    scan.scanDue();

    QPointer<Form6> window = scan.alarmWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowModality(), Qt::NonModal);
    QCOMPARE(window->shownText(), QStringLiteral("segunda\n\nprimera"));

    QVERIFY(window->close());
    QCOMPARE(alarmOf(first), QString());
    QCOMPARE(alarmOf(second), QString());
    QCOMPARE(alarmOf(other), QStringLiteral("11:00"));
    QVERIFY(!scan.alarmWindow());
    QTRY_VERIFY(!window);
}

void TestAlarmScan::closingATaskAlarmChangesNoRow()
{
    const qint64 entry =
        m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("mañana"), {}, QStringLiteral("10:05"));
    m_agenda->addEntry(m_today.addDays(1), QStringLiteral("09:00"), QStringLiteral("x"), {}, QStringLiteral("10:05"));
    addTask(QStringLiteral("Regar"), m_today, QStringLiteral("10:05"));
    // The entry of today is moved off the minute, so only the task is due.
    {
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), entry));
        notas->Edit();
        notas->SetField(QStringLiteral("horaalarma"), QStringLiteral("10:06"));
        QVERIFY(notas->Update());
    }
    auto snapshot = [this](const QString &table) {
        QStringList rows;
        auto cursor = m_agenda->cursor(table);
        for (cursor->MoveFirst(); !cursor->Eof(); cursor->MoveNext()) {
            QStringList fields;
            for (int i = 0; i < cursor->FieldCount(); ++i)
                fields << cursor->Field(i).toString();
            rows << fields.join(QLatin1Char('|'));
        }
        return rows;
    };
    const QStringList notasBefore = snapshot(QStringLiteral("notas"));
    const QStringList tareasBefore = snapshot(QStringLiteral("tareas"));

    setClock(QTime(10, 5));
    AlarmScan &scan = makeScan(true);
    scan.scanDue();
    Form6 *window = scan.alarmWindow();
    QVERIFY(window);
    QCOMPARE(window->windowModality(), Qt::ApplicationModal);
    QCOMPARE(window->shownText(), QStringLiteral("TAREA: Regar"));
    QVERIFY(window->close());

    QCOMPARE(snapshot(QStringLiteral("notas")), notasBefore);
    QCOMPARE(snapshot(QStringLiteral("tareas")), tareasBefore);
}

void TestAlarmScan::alarmArrivingWhileOpenIsAddedAndCleared()
{
    const qint64 early =
        m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("temprano"), {}, QStringLiteral("10:05"));
    const qint64 later =
        m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("después"), {}, QStringLiteral("10:07"));
    AlarmScan &scan = makeScan(true);
    setClock(QTime(10, 5));
    scan.scanDue();
    Form6 *window = scan.alarmWindow();
    QVERIFY(window);
    setClock(QTime(10, 6));
    scan.scanDue();
    setClock(QTime(10, 7));
    scan.scanDue();
    QCOMPARE(scan.alarmWindow(), window);
    QCOMPARE(window->shownText(), QStringLiteral("después\n\ntemprano"));
    QCOMPARE(m_agenda->sound.played.size(), 2);
    // The alarm stays set while the window is open: it is cleared when the user has seen it.
    QCOMPARE(alarmOf(early), QStringLiteral("10:05"));

    QVERIFY(window->close());
    QCOMPARE(alarmOf(early), QString());
    QCOMPARE(alarmOf(later), QString());
}

void TestAlarmScan::entryAndTaskInOneMinuteAreBothShown()
{
    const qint64 entry =
        m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("Reunión"), {}, QStringLiteral("10:05"));
    addTask(QStringLiteral("Enviar el informe"), m_today, QStringLiteral("10:05"));
    AlarmScan &scan = makeScan(true);
    setClock(QTime(10, 5));
    scan.scanDue();
    Form6 *window = scan.alarmWindow();
    QVERIFY(window);
    QCOMPARE(window->shownText(), QStringLiteral("TAREA: Enviar el informe\n\nReunión"));
    QCOMPARE(window->windowModality(), Qt::ApplicationModal);
    QVERIFY(window->isVisible());
    QVERIFY(window->close());
    QCOMPARE(alarmOf(entry), QString());
}

QTEST_MAIN(TestAlarmScan)
#include "tst_alarmscan.moc"
