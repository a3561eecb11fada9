#include "alarms/AlarmLine.h"
#include "alarms/Form6.h"
#include "alarms/MissedAlarmsWindow.h"
#include "alarms/SnoozeControl.h"
#include "data/PendingReminders.h"
#include "data/store/Criterion.h"
#include "support/TestAgenda.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

// Each alarm of the alarm window and of the missed alarms window dealt with alone, the usual
// lengths to put alarms off by, and the names the windows' controls are read out by.
class TestPerAlarm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void oneAlarmAloneLeavesTheOthersListed_data();
    void oneAlarmAloneLeavesTheOthersListed();
    void usualLengthPutsOffAndIsOfferedAgain_data();
    void usualLengthPutsOffAndIsOfferedAgain();
    void everyControlHasANameOfItsOwn();

private:
    // The window, shown, with the alarms of "Dentista" and then "Farmacia".
    QWidget *openWindow(bool missed);
    QList<DueAlarm> alarms() const;
    // When the entry rings next: a reminder put off to another day, else its own alarm of today.
    QDateTime nextRing(qint64 numero);

    std::unique_ptr<TestAgenda> m_agenda;
    QPointer<QWidget> m_window;
    const QDate m_today = QDate(2024, 4, 3);
    qint64 m_dentist = -1;
    qint64 m_chemist = -1;
};

void TestPerAlarm::init()
{
    m_agenda = std::make_unique<TestAgenda>();
    m_agenda->clock.set(QDateTime(m_today, QTime(10, 5, 20)));
    const QString alarm = QStringLiteral("10:05");
    m_dentist = m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("Dentista"), {}, alarm);
    m_chemist = m_agenda->addEntry(m_today, QStringLiteral("09:30"), QStringLiteral("Farmacia"), {}, alarm);
}

void TestPerAlarm::cleanup()
{
    delete m_window.data();
    m_agenda.reset();
}

QList<DueAlarm> TestPerAlarm::alarms() const
{
    return {{DueAlarm::Kind::Entry, QStringLiteral("Dentista"), m_dentist, QStringLiteral("10:05"), m_today},
            {DueAlarm::Kind::Entry, QStringLiteral("Farmacia"), m_chemist, QStringLiteral("10:05"), m_today}};
}

QWidget *TestPerAlarm::openWindow(bool missed)
{
    if (missed) {
        m_window = new MissedAlarmsWindow(m_agenda->context, m_agenda->diary(), alarms());
        m_window->show();
    } else {
        auto *window = new Form6(m_agenda->context, m_agenda->diary());
        m_window = window;
        for (const DueAlarm &alarm : alarms())
            window->announce(alarm);
    }
    if (!QTest::qWaitForWindowActive(m_window))
        return nullptr;
    return m_window;
}

QDateTime TestPerAlarm::nextRing(qint64 numero)
{
    const QString file = m_agenda->databaseFile();
    for (const PendingReminders::Reminder &reminder :
         PendingReminders::between(file, QDateTime(m_today, QTime(0, 0)), QDateTime(m_today.addDays(2), QTime(0, 0))))
        if (reminder.entry == numero)
            return reminder.moment;
    auto notas = m_agenda->cursor(QStringLiteral("notas"));
    notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), numero));
    const QTime alarm = QTime::fromString(notas->Text(QStringLiteral("horaalarma")), QStringLiteral("HH:mm"));
    return alarm.isValid() ? QDateTime(m_today, alarm) : QDateTime();
}

void TestPerAlarm::oneAlarmAloneLeavesTheOthersListed_data()
{
    QTest::addColumn<bool>("missed");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QDateTime>("ringsNext"); // invalid: no alarm left

    const QDateTime snoozed = QDateTime(m_today, QTime(10, 5)).addSecs(60 * SnoozeControl::DefaultMinutes);
    QTest::newRow("alarm window, Quitar") << false << QStringLiteral("Quitar") << QDateTime();
    QTest::newRow("alarm window, Posponer") << false << QStringLiteral("Posponer") << snoozed;
    QTest::newRow("missed alarms, Quitar") << true << QStringLiteral("Quitar") << QDateTime();
    QTest::newRow("missed alarms, Posponer") << true << QStringLiteral("Posponer") << snoozed;
}

// The alarm window's lines are clicked; in the missed alarms window the line is chosen with the
// keys and the button reached with Tab.
void TestPerAlarm::oneAlarmAloneLeavesTheOthersListed()
{
    QFETCH(bool, missed);
    QFETCH(QString, caption);
    QFETCH(QDateTime, ringsNext);
    QWidget *window = openWindow(missed);
    QVERIFY(window);

    QStringList listed;
    if (auto *missedWindow = qobject_cast<MissedAlarmsWindow *>(window)) {
        QListWidget *list = missedWindow->alarmList;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        for (int tabs = 0; tabs < 5; ++tabs) {
            auto *button = qobject_cast<QPushButton *>(QApplication::focusWidget());
            if (button && button->text() == caption)
                break;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        for (int row = 0; row < list->count(); ++row)
            listed << list->item(row)->text().section(QStringLiteral("   "), 1);
    } else {
        auto *alarmWindow = static_cast<Form6 *>(window);
        const AlarmLine *dentist = alarmWindow->Label4.last();
        QCOMPARE(dentist->alarmText->text(), QStringLiteral("Dentista"));
        for (QPushButton *button : {dentist->dismissButton, dentist->snoozeButton})
            if (button->text() == caption)
                QTest::mouseClick(button, Qt::LeftButton);
        listed << alarmWindow->shownText();
    }

    QCOMPARE(listed, QStringList{QStringLiteral("Farmacia")});
    QVERIFY(window->isVisible());
    QCOMPARE(nextRing(m_dentist), ringsNext);
    QCOMPARE(nextRing(m_chemist), QDateTime(m_today, QTime(10, 5)));
}

void TestPerAlarm::usualLengthPutsOffAndIsOfferedAgain_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("minutes");

    QTest::newRow("an hour") << QStringLiteral("1 hora") << 60;
    QTest::newRow("a day") << QStringLiteral("1 día") << 24 * 60;
}

void TestPerAlarm::usualLengthPutsOffAndIsOfferedAgain()
{
    QFETCH(QString, choice);
    QFETCH(int, minutes);
    auto *window = qobject_cast<Form6 *>(openWindow(false));
    QVERIFY(window);

    QTimer::singleShot(0, this, [choice] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction *action : menu->actions())
            if (action->text() == choice)
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    });
    QTest::mouseClick(window->snooze->snoozeChoices, Qt::LeftButton);

    QTRY_VERIFY(!m_window);
    const QDateTime again = QDateTime(m_today, QTime(10, 5)).addSecs(60 * minutes);
    QCOMPARE(nextRing(m_dentist), again);
    QCOMPARE(nextRing(m_chemist), again);
    for (const bool missed : {false, true}) {
        QWidget *next = openWindow(missed);
        QVERIFY(next);
        QCOMPARE(next->findChild<SnoozeControl *>()->minutes(), minutes);
        delete next;
    }
}

void TestPerAlarm::everyControlHasANameOfItsOwn()
{
    for (const bool missed : {false, true}) {
        QWidget *window = openWindow(missed);
        QVERIFY(window);
        QStringList names;
        for (QWidget *control : window->findChildren<QWidget *>()) {
            const bool isControl = qobject_cast<QAbstractButton *>(control) ||
                qobject_cast<QAbstractSlider *>(control) || qobject_cast<QAbstractItemView *>(control);
            // A scrolled area's own bars are read with the area.
            const bool ofScrollArea = control->parentWidget()->objectName().startsWith(QLatin1String("qt_scrollarea"));
            if (isControl && !ofScrollArea && control->isVisibleTo(window))
                names << control->accessibleName();
        }
        QVERIFY2(!names.contains(QString()), qPrintable(names.join(QLatin1Char('|'))));
        QCOMPARE(QSet<QString>(names.cbegin(), names.cend()).size(), names.size());
        delete window;
    }
}

QTEST_MAIN(TestPerAlarm)
#include "tst_peralarm.moc"
