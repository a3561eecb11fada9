#include "agenda/Form2.h"
#include "agenda/Form5.h"
#include "data/store/Criterion.h"
#include "support/DiaryWindow.h"
#include "support/TestAgenda.h"
#include "widgets/ImageButton.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

// The alarm strip, opened over an entry the entry strip has just saved (Data1 stands on it).
class TestAlarmTime : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<DiaryWindow> m_main;
    std::unique_ptr<Form2> m_strip;
    std::unique_ptr<Form5> m_alarm;
    qint64 m_entry = -1;

    QString storedAlarm()
    {
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), m_entry));
        return notas->Text(QStringLiteral("horaalarma"));
    }
    void press(Qt::Key key, int times = 1)
    {
        m_alarm->VScroll1->setFocus();
        for (int i = 0; i < times; ++i)
            QTest::keyClick(m_alarm->VScroll1, key);
    }
    void close() { QTest::mouseClick(m_alarm->findChild<ImageButton *>(QStringLiteral("Image1(2)")), Qt::LeftButton); }

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_main = std::make_unique<DiaryWindow>(m_agenda->context);
        m_main->resize(1200, 800);
        m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("07:00"), QStringLiteral("Otra"));
        m_entry = m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("10:00"), QStringLiteral("Dentista"));
        QVERIFY(m_main->diary.Data1.FindFirst(Criterion::numberEquals(QStringLiteral("numero"), m_entry)));
        m_strip = std::make_unique<Form2>(m_main->diary, m_agenda->context, m_main.get());
        m_strip->move(200, 150);
        m_strip->show();
        m_alarm = std::make_unique<Form5>(m_main->diary, m_agenda->context, *m_strip, m_entry, m_main.get());
        m_alarm->Text2->setText(QStringLiteral("10:00"));
        m_alarm->show();
        QVERIFY(QTest::qWaitForWindowActive(m_alarm.get()));
    }
    void cleanup()
    {
        m_alarm.reset();
        m_strip.reset();
        m_main.reset();
        m_agenda.reset();
    }

    void sitsUnderTheEntryStripWithItsWidth()
    {
        QCOMPARE(m_alarm->geometry().topLeft(), QPoint(200, 150 + m_strip->height()));
        QCOMPARE(m_alarm->width(), m_strip->width());
        QCOMPARE(m_alarm->Label1->text(), QStringLiteral("La Alarma se activará a las..."));
        QCOMPARE(m_alarm->Text2->x(), m_alarm->Label1->width());
        QCOMPARE(m_alarm->VScroll1->x(), m_alarm->Text2->x() + m_alarm->Text2->width());
        auto *close = m_alarm->findChild<ImageButton *>(QStringLiteral("Image1(2)"));
        QCOMPARE(close->accessibleName(), QStringLiteral("Cerrar"));
        QVERIFY(m_alarm->rect().contains(QRect(close->mapTo(m_alarm.get(), QPoint(0, 0)), close->size())));
        QCOMPARE(m_alarm->VScroll1->value(), 32767); // the bar starts at its bottom end
    }

    void spinnerRunsTheOtherWay_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("expected");
        const int up = Qt::Key_Up;
        const int down = Qt::Key_Down;
        QTest::newRow("first down is dead") << "10:00" << QList<int>{down} << "10:00";
        QTest::newRow("up is earlier") << "10:00" << QList<int>{up} << "09:55";
        QTest::newRow("then down is later") << "10:00" << QList<int>{up, down} << "10:00";
        QTest::newRow("up before midnight") << "00:00" << QList<int>{up} << "23:55";
        QTest::newRow("and back") << "00:00" << QList<int>{up, down} << "00:00";
        QTest::newRow("up borrows an hour") << "11:02" << QList<int>{up} << "10:57";
        QTest::newRow("down stops at the end") << "10:00" << QList<int>{up, down, down, down} << "10:00";
        QTest::newRow("text counts as 00:00") << "ab:cd" << QList<int>{up} << "23:55";
    }
    void spinnerRunsTheOtherWay()
    {
        QFETCH(QString, start);
        QFETCH(QList<int>, keys);
        QFETCH(QString, expected);
        m_alarm->Text2->setText(start);
        m_alarm->VScroll1->setFocus();
        for (int key : keys)
            QTest::keyClick(m_alarm->VScroll1, Qt::Key(key));
        QCOMPARE(m_alarm->Text2->text(), expected);
    }

    void downCarriesAnHourOnceTheBarIsFree()
    {
        press(Qt::Key_Up);
        m_alarm->Text2->setText(QStringLiteral("10:57"));
        press(Qt::Key_Down);
        QCOMPARE(m_alarm->Text2->text(), QStringLiteral("11:02"));
    }

    void closingAtOnceSetsTheEntrysOwnTime()
    {
        close();
        QVERIFY(!m_alarm->isVisible());
        QCOMPARE(storedAlarm(), QStringLiteral("10:00"));
    }

    void everyWayOfClosingSaves()
    {
        press(Qt::Key_Up, 2);
        QTest::keyClick(m_alarm->VScroll1, Qt::Key_Escape);
        QVERIFY(!m_alarm->isVisible());
        QCOMPARE(storedAlarm(), QStringLiteral("09:50"));
    }

    void writesTheStripsEntryEvenIfData1HasMoved()
    {
        m_main->diary.Data1.MoveFirst(); // the other entry
        press(Qt::Key_Up);
        close();
        QCOMPARE(storedAlarm(), QStringLiteral("09:55"));
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QVERIFY(notas->Text(QStringLiteral("horaalarma")).isEmpty());
    }

    void aTimeThatCouldNeverRingIsRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // empty: refused
        QTest::newRow("valid") << "18:45"
                               << "18:45";
        QTest::newRow("space for the ten") << " 9:30"
                                           << "09:30";
        QTest::newRow("one hour digit") << "9:30"
                                        << "";
        QTest::newRow("hour 25") << "25:00"
                                 << "";
        QTest::newRow("longer than the column") << "10:300"
                                                << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void aTimeThatCouldNeverRingIsRefused()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        m_alarm->Text2->setFocus();
        m_alarm->Text2->selectAll();
        QTest::keyClick(m_alarm->Text2, Qt::Key_Delete);
        QTest::keyClicks(m_alarm->Text2, typed);
        close();
        if (stored.isEmpty()) {
            QVERIFY(m_alarm->isVisible());
            QCOMPARE(m_agenda->messenger.texts(), QStringList{QStringLiteral("La hora debe tener el formato HH:MM")});
            QCOMPARE(m_agenda->messenger.shown[0].title, QStringLiteral("Hora Incorrecta"));
            QCOMPARE(QApplication::focusWidget(), m_alarm->Text2);
            QVERIFY(storedAlarm().isEmpty());
        } else {
            QVERIFY(!m_alarm->isVisible());
            QVERIFY(m_agenda->messenger.shown.isEmpty());
            QCOMPARE(storedAlarm(), stored);
        }
    }

    void keepsTheUserActive()
    {
        m_agenda->context.IdleCount = 30;
        QTest::keyClick(m_alarm->Text2, Qt::Key_Right);
        QCOMPARE(m_agenda->context.IdleCount, qint16(0));
        m_agenda->context.IdleCount = 30;
        m_alarm->Timer1_Timer();
        QCOMPARE(m_agenda->context.IdleCount, qint16(0));
        QCOMPARE(m_alarm->Timer1.interval(), 1000);
        QVERIFY(m_alarm->Timer1.isActive());
    }
};

QTEST_MAIN(TestAlarmTime)
#include "tst_alarmtime.moc"
