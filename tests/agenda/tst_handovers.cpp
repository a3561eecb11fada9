#include "agenda/Form2.h"
#include "agenda/Form3.h"
#include "agenda/WeekView.h"
#include "data/EntryLine.h"
#include "data/store/Criterion.h"
#include "support/DiaryWindow.h"
#include "support/ModalDriver.h"
#include "support/TestAgenda.h"
#include "widgets/ClickLabel.h"
#include "widgets/ImageButton.h"

#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QtTest>
#include <functional>
#include <sqlite3.h>

// What the week hands to its dialogs: the entry a double click opens, a new entry's time, where
// the strip stands, the day status dialog's presets; and the store a newer program wrote.
class TestHandOvers : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<DiaryWindow> m_window;
    WeekView *m_week = nullptr;
    const QDate Wednesday = QDate(2024, 4, 3);

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_agenda->clock.setToday(Wednesday);
        m_window = std::make_unique<DiaryWindow>(m_agenda->context);
        m_week = new WeekView(m_window->diary, m_agenda->context, m_window.get());
        m_week->setGeometry(m_window->rect());
        m_week->LayoutWeek(900, 9000, 600, 7000, 3000, 12000);
        m_window->show();
        m_window->diary.SelectedDate = Wednesday;
        m_week->RefreshWeek();
    }
    void cleanup()
    {
        m_window.reset();
        m_agenda.reset();
    }

    void doubleClickOpensThatEntryForEditing()
    {
        m_agenda->addEntry(Wednesday, QStringLiteral("08:00"), QStringLiteral("Primera"));
        const qint64 second = m_agenda->addEntry(Wednesday, QStringLiteral("11:30"), QStringLiteral("Dentista"));
        m_week->RefreshWeek();
        QListWidget *list = m_week->List1[2];
        QCOMPARE(list->count(), 2);
        QString shown;
        QString tag;
        ModalDriver::whenOpens<Form2>(
            [&](Form2 &strip) {
                shown = strip.Text1->text();
                tag = strip.Tag;
            },
            true);
        m_week->List1_DblClick(2, list->item(1)->text());
        QCOMPARE(tag.toLongLong(), second);
        QCOMPARE(shown, QStringLiteral("Dentista"));
        QCOMPARE(m_agenda->cursor(QStringLiteral("notas"))->RecordCount(), 2); // edited, not added
    }

    void newEntryTimeAndPlace_data()
    {
        QTest::addColumn<QStringList>("times");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty day") << QStringList() << QStringLiteral("08:00");
        QTest::newRow("one entry") << QStringList{QStringLiteral("10:15")} << QStringLiteral("08:00");
        QTest::newRow("the last line's time")
            << QStringList{QStringLiteral("09:00"), QStringLiteral("17:45")} << QStringLiteral("17:45");
    }
    void newEntryTimeAndPlace()
    {
        QFETCH(QStringList, times);
        QFETCH(QString, expected);
        for (const QString &time : times)
            m_agenda->addEntry(Wednesday, time, QStringLiteral("Algo"));
        m_week->RefreshWeek();
        QString time;
        QString tag = QStringLiteral("sin tocar");
        QRect strip;
        ModalDriver::whenOpens<Form2>(
            [&](Form2 &dialog) {
                time = dialog.Text2->text();
                tag = dialog.Tag;
                strip = dialog.geometry();
                dialog.Text1->clear(); // nothing to keep
            },
            true);
        m_week->Image12_Click(2);
        QCOMPARE(time, expected);
        QVERIFY(tag.isEmpty());
        // The strip stands over the day's list, on the panel it was opened from.
        const QRect panel(m_week->Picture2[2]->mapToGlobal(QPoint(0, 0)), m_week->Picture2[2]->size());
        QVERIFY2(panel.intersects(strip), qPrintable(QStringLiteral("%1,%2").arg(strip.x()).arg(strip.y())));
        QVERIFY(strip.top() >= panel.top() && strip.top() < panel.bottom());
    }

    void dayStatusPresets_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("holiday");
        QTest::newRow("a weekday opens as a working day") << 2 << false;
        QTest::newRow("Sunday opens as a holiday") << 6 << true;
    }
    void dayStatusPresets()
    {
        QFETCH(int, index);
        QFETCH(bool, holiday);
        bool checked = !holiday;
        QString tag;
        ModalDriver::whenOpens<Form3>(
            [&](Form3 &dialog) {
                checked = dialog.Option1[1]->isChecked();
                tag = dialog.Tag;
            },
            true);
        QTest::mouseClick(m_week->Label3[index], Qt::LeftButton);
        QCOMPARE(checked, holiday);
        QCOMPARE(tag, m_week->dayTag(index) + QString::number(index));
    }

    void anAlarmClearedElsewhereIsNotWrittenBack()
    {
        const qint64 numero = m_agenda->addEntry(Wednesday, QStringLiteral("10:00"), QStringLiteral("Llamar"), {},
                                                 QStringLiteral("10:00"));
        m_week->RefreshWeek();
        ModalDriver::whenOpens<Form2>(
            [&](Form2 &strip) {
                // The alarm window clears the alarm while the strip is open, then the strip is active again.
                auto notas = m_agenda->cursor(QStringLiteral("notas"));
                notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), numero));
                QVERIFY(notas->Edit() && notas->SetField(QStringLiteral("horaalarma"), QString()) && notas->Update());
                QEvent activation(QEvent::ActivationChange);
                strip.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&strip));
                QApplication::sendEvent(&strip, &activation);
            },
            true);
        m_week->List1_DblClick(2, m_week->List1[2]->item(0)->text());
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), numero));
        QVERIFY(notas->Text(QStringLiteral("horaalarma")).isEmpty());
    }

    void aStoreOfANewerProgramIsRefused()
    {
        const QString file = QDir(m_agenda->folder()).filePath(QStringLiteral("nueva.mdb"));
        {
            RecordCursor created;
            created.DatabaseName = file;
            created.RecordSource = QStringLiteral("notas");
            QVERIFY(created.Refresh());
        }
        sqlite3 *raw = nullptr;
        QCOMPARE(sqlite3_open(file.toUtf8().constData(), &raw), SQLITE_OK);
        QCOMPARE(sqlite3_exec(raw, "PRAGMA user_version = 999", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
        Diary diary;
        const QString failure = diary.open(file);
        QVERIFY2(failure.contains(QStringLiteral("versión más nueva")), qPrintable(failure));
        QVERIFY(!diary.Data1.isOpen());
    }
};

QTEST_MAIN(TestHandOvers)
#include "tst_handovers.moc"
