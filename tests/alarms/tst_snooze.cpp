#include "alarms/AlarmScan.h"
#include "alarms/Form6.h"
#include "alarms/MissedAlarmsWindow.h"
#include "alarms/SnoozeControl.h"
#include "data/AlarmMark.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "support/TestAgenda.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

// "Posponer" in the alarm window and in the missed alarms window: the alarms shown ring again,
// through the minute scan, the number of minutes later, and not before; no entry changes its day,
// time or text.
class TestSnooze : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void snoozedAlarmsRingAgainThatMinute_data();
    void snoozedAlarmsRingAgainThatMinute();
    void minutesAreSteppedWithinOneTo120();

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Diary> m_diary;
    QTimer m_timer;
    std::unique_ptr<AlarmScan> m_scan;
    QList<DueAlarm> m_rung;
};

void TestSnooze::init()
{
    m_agenda = std::make_unique<TestAgenda>();
    m_diary = std::make_unique<Diary>();
    m_diary->open(m_agenda->databaseFile());
    m_rung.clear();
    m_scan = std::make_unique<AlarmScan>(*m_diary, m_agenda->context, m_timer,
                                         [this](const DueAlarm &alarm) { m_rung << alarm; });
}

void TestSnooze::cleanup()
{
    m_scan.reset();
    m_diary.reset();
    m_agenda.reset();
}

void TestSnooze::snoozedAlarmsRingAgainThatMinute_data()
{
    QTest::addColumn<QDateTime>("ringing");
    QTest::addColumn<QDateTime>("snoozedAt"); // invalid: in the alarm window as it rings
    QTest::newRow("morning") << QDateTime(QDate(2024, 4, 3), QTime(10, 5)) << QDateTime();
    QTest::newRow("across midnight") << QDateTime(QDate(2024, 12, 31), QTime(23, 58)) << QDateTime();
    QTest::newRow("missed days ago") << QDateTime(QDate(2024, 3, 26), QTime(17, 0))
                                     << QDateTime(QDate(2024, 3, 29), QTime(9, 0, 20));
}

void TestSnooze::snoozedAlarmsRingAgainThatMinute()
{
    QFETCH(QDateTime, ringing);
    QFETCH(QDateTime, snoozedAt);
    const QString time = ringing.time().toString(QStringLiteral("HH:mm"));
    const qint64 entry =
        m_agenda->addEntry(ringing.date(), QStringLiteral("09:00"), QStringLiteral("Dentista"), {}, time);
    const qint64 deleted =
        m_agenda->addEntry(ringing.date(), QStringLiteral("09:30"), QStringLiteral("Anulada"), {}, time);
    auto tareas = m_agenda->cursor(QStringLiteral("tareas"));
    tareas->AddNew();
    tareas->SetField(QStringLiteral("Fecha"), ringing.date());
    tareas->SetField(QStringLiteral("Fechaalarma"), ringing.date());
    tareas->SetField(QStringLiteral("Horaalarma"), time);
    tareas->SetField(QStringLiteral("Tarea"), QStringLiteral("Regar"));
    QVERIFY(tareas->Update());

    QPushButton *snoozeButton = nullptr;
    QPointer<QWidget> alive;
    if (snoozedAt.isValid()) {
        QVERIFY(AlarmMark::write(m_agenda->databaseFile(), ringing.addSecs(-60)));
        m_agenda->clock.set(snoozedAt);
        m_scan->showMissed();
        QVERIFY(m_scan->missedWindow());
        QCOMPARE(m_scan->missedWindow()->alarms().size(), 3);
        alive = m_scan->missedWindow();
        snoozeButton = m_scan->missedWindow()->snooze->snoozeButton;
    } else {
        snoozedAt = ringing.addSecs(20);
        m_agenda->clock.set(snoozedAt);
        m_scan->scanMinute(ringing);
        QCOMPARE(m_rung.size(), 3);
        auto *window = new Form6(m_agenda->context, *m_diary);
        for (const DueAlarm &alarm : std::as_const(m_rung))
            window->announce(alarm);
        m_rung.clear();
        alive = window;
        snoozeButton = window->snooze->snoozeButton;
    }
    QTest::mouseClick(snoozeButton, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!alive);
    QVERIFY(m_agenda->messenger.shown.isEmpty());

    // Meanwhile one entry is deleted and the other renamed.
    auto notas = m_agenda->cursor(QStringLiteral("notas"));
    QVERIFY(notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), deleted)) && notas->Delete());
    QVERIFY(notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), entry)) && notas->Edit());
    notas->SetField(QStringLiteral("texto"), QStringLiteral("Dentista, a las 9"));
    QVERIFY(notas->Update());

    const QDateTime again = AlarmScan::minuteStart(snoozedAt).addSecs(300);
    for (QDateTime minute = AlarmScan::minuteStart(snoozedAt); minute < again; minute = minute.addSecs(60)) {
        m_scan->scanMinute(minute);
        QVERIFY2(m_rung.isEmpty(), qPrintable(minute.toString()));
    }
    m_scan->scanMinute(again);
    QCOMPARE(m_rung.size(), 2);
    QCOMPARE(m_rung[0].text, QStringLiteral("Dentista, a las 9"));
    QCOMPARE(m_rung[1].text, QStringLiteral("TAREA: Regar"));

    // Closing the window then is being done with the entry's alarm, as with any diary alarm.
    auto *window = new Form6(m_agenda->context, *m_diary);
    for (const DueAlarm &alarm : std::as_const(m_rung))
        window->announce(alarm);
    QVERIFY(window->close());
    QVERIFY(notas->Refresh() && notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), entry)));
    QCOMPARE(notas->Text(QStringLiteral("fecha")), DateText::fromDate(ringing.date()));
    QCOMPARE(notas->Text(QStringLiteral("hora")), QStringLiteral("09:00"));
    QCOMPARE(notas->Text(QStringLiteral("horaalarma")), QString());
}

void TestSnooze::minutesAreSteppedWithinOneTo120()
{
    Form6 window(m_agenda->context, *m_diary);
    QScrollBar *bar = window.snooze->snoozeScroll;
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub); // the up arrow
    QCOMPARE(window.snooze->minutes(), 6);
    QCOMPARE(window.snooze->snoozeMinutes->text(), QStringLiteral("6"));
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    QCOMPARE(window.snooze->minutes(), 120);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(window.snooze->minutes(), 1);
}

QTEST_MAIN(TestSnooze)
#include "tst_snooze.moc"
