#include "alarms/AlarmScan.h"
#include "alarms/Form6.h"
#include "alarms/SnoozeControl.h"
#include "data/DateText.h"
#include "support/TestAgenda.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

// "Posponer" in the alarm window: the alarms it shows ring again, through the minute scan, the
// number of minutes later, and not before.
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
    std::unique_ptr<RecordCursor> m_data4, m_data5;
    QTimer m_timer;
    std::unique_ptr<AlarmScan> m_scan;
    QList<DueAlarm> m_rung;
};

void TestSnooze::init()
{
    m_agenda = std::make_unique<TestAgenda>();
    m_data4 = m_agenda->cursor(QStringLiteral("notas"));
    m_data5 = m_agenda->cursor(QStringLiteral("tareas"));
    m_rung.clear();
    m_scan = std::make_unique<AlarmScan>(*m_data4, *m_data5, m_agenda->context, m_timer,
                                         [this](const DueAlarm &alarm) { m_rung << alarm; });
}

void TestSnooze::cleanup()
{
    m_scan.reset();
    m_data4.reset();
    m_data5.reset();
    m_agenda.reset();
}

void TestSnooze::snoozedAlarmsRingAgainThatMinute_data()
{
    QTest::addColumn<QDateTime>("ringing");
    QTest::newRow("morning") << QDateTime(QDate(2024, 4, 3), QTime(10, 5));
    QTest::newRow("across midnight") << QDateTime(QDate(2024, 12, 31), QTime(23, 58));
}

void TestSnooze::snoozedAlarmsRingAgainThatMinute()
{
    QFETCH(QDateTime, ringing);
    const QString time = ringing.time().toString(QStringLiteral("HH:mm"));
    m_agenda->addEntry(ringing.date(), QStringLiteral("09:00"), QStringLiteral("Dentista"), {}, time);
    auto tareas = m_agenda->cursor(QStringLiteral("tareas"));
    tareas->AddNew();
    tareas->SetField(QStringLiteral("Fecha"), ringing.date());
    tareas->SetField(QStringLiteral("Fechaalarma"), ringing.date());
    tareas->SetField(QStringLiteral("Horaalarma"), time);
    tareas->SetField(QStringLiteral("Tarea"), QStringLiteral("Regar"));
    QVERIFY(tareas->Update());

    m_agenda->clock.set(ringing.addSecs(20));
    m_scan->scanMinute(ringing);
    QCOMPARE(m_rung.size(), 2);

    auto *window = new Form6(m_agenda->context, *m_data4);
    QPointer<Form6> alive(window);
    for (const DueAlarm &alarm : std::as_const(m_rung))
        window->announce(alarm);
    m_rung.clear();
    QCOMPARE(window->snooze->minutes(), 5);
    QTest::mouseClick(window->snooze->snoozeButton, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!alive);
    QVERIFY(m_agenda->messenger.shown.isEmpty());

    for (int minute = 0; minute < 5; ++minute) {
        m_scan->scanMinute(ringing.addSecs(60 * minute));
        QVERIFY2(m_rung.isEmpty(), qPrintable(QString::number(minute)));
    }
    m_scan->scanMinute(ringing.addSecs(300));
    QCOMPARE(m_rung.size(), 2);
    QCOMPARE(m_rung[0].text, QStringLiteral("Dentista"));
    QCOMPARE(m_rung[1].text, QStringLiteral("TAREA: Regar"));
}

void TestSnooze::minutesAreSteppedWithinOneTo120()
{
    Form6 window(m_agenda->context, *m_data4);
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
