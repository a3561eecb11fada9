#include "agenda/Form2.h"
#include "agenda/Form4.h"
#include "agenda/Form5.h"
#include "data/DateText.h"
#include "data/store/Criterion.h"
#include "data/store/Database.h"
#include "support/DiaryWindow.h"
#include "support/ModalDriver.h"
#include "support/TestAgenda.h"
#include "widgets/ImageButton.h"
#include "widgets/Twips.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>
#include <functional>

namespace {

const QDate Day(2024, 4, 3);

void click(ImageButton *button)
{
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class TestEntryDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<DiaryWindow> m_main;
    std::unique_ptr<Form2> m_strip;

    qint64 rowCount() { return m_agenda->cursor(QStringLiteral("notas"))->RecordCount(); }
    std::unique_ptr<RecordCursor> entry(qint64 numero)
    {
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), numero));
        return notas;
    }
    // The pointer comes from elsewhere onto the button, as a user's would.
    void pointAt(QWidget *widget, QPoint at = QPoint(3, 3))
    {
        QTest::mouseMove(m_strip->Text1);
        QTest::mouseMove(widget, at);
    }
    ImageButton *button(int index)
    {
        return m_strip->findChild<ImageButton *>(QStringLiteral("Image1(%1)").arg(index));
    }
    void tickBoth()
    {
        m_strip->Timer1_Timer();
        m_strip->Timer2_Timer();
    }
    bool showStrip()
    {
        m_strip->show();
        return QTest::qWaitForWindowActive(m_strip.get());
    }
    static QString padded(qint64 numero) { return (QStringLiteral("0000000000") + QString::number(numero)).right(10); }

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_main = std::make_unique<DiaryWindow>(m_agenda->context);
        m_main->resize(1200, 800);
        m_main->diary.SelectedDate = Day;
        m_strip = std::make_unique<Form2>(m_main->diary, m_agenda->context, m_main.get());
        m_agenda->messenger.clear();
    }
    void cleanup()
    {
        m_strip.reset();
        m_main.reset();
        m_agenda.reset();
    }

    void spinnersStepTheTime_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("spinner");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("presses");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hours up past midnight") << "23:00"
                                                << "VScroll2" << int(Qt::Key_Up) << 1 << "00:00";
        QTest::newRow("hours down before midnight") << "00:30"
                                                    << "VScroll2" << int(Qt::Key_Down) << 1 << "23:30";
        QTest::newRow("hours keep the minutes") << "10:57"
                                                << "VScroll2" << int(Qt::Key_Up) << 2 << "12:57";
        QTest::newRow("minutes up past midnight") << "23:55"
                                                  << "VScroll1" << int(Qt::Key_Up) << 1 << "00:00";
        QTest::newRow("minutes down before midnight") << "00:00"
                                                      << "VScroll1" << int(Qt::Key_Down) << 1 << "23:55";
        QTest::newRow("minutes carry an hour") << "10:57"
                                               << "VScroll1" << int(Qt::Key_Up) << 1 << "11:02";
        QTest::newRow("minutes borrow an hour") << "10:02"
                                                << "VScroll1" << int(Qt::Key_Down) << 1 << "09:57";
        QTest::newRow("minutes keep stepping") << "10:00"
                                               << "VScroll1" << int(Qt::Key_Up) << 3 << "10:15";
        QTest::newRow("text counts as 00:00, minutes") << "ab:cd"
                                                       << "VScroll1" << int(Qt::Key_Up) << 1 << "00:05";
        QTest::newRow("text counts as 00:00, hours") << "ab:cd"
                                                     << "VScroll2" << int(Qt::Key_Down) << 1 << "23:00";
    }
    void spinnersStepTheTime()
    {
        QFETCH(QString, start);
        QFETCH(QString, spinner);
        QFETCH(int, key);
        QFETCH(int, presses);
        QFETCH(QString, expected);
        QVERIFY(showStrip());
        m_strip->Text2->setText(start);
        auto *bar = m_strip->findChild<QScrollBar *>(spinner);
        QVERIFY(bar);
        bar->setFocus();
        for (int i = 0; i < presses; ++i)
            QTest::keyClick(bar, Qt::Key(key));
        QCOMPARE(m_strip->Text2->text(), expected);
    }

    void aDragCountsAsOneStepInItsDirection()
    {
        QVERIFY(showStrip());
        m_strip->Text2->setText(QStringLiteral("10:00"));
        m_strip->VScroll1->setValue(Form2::StartPosition - 4000); // thumb dragged up and let go
        QCOMPARE(m_strip->Text2->text(), QStringLiteral("10:05"));
        m_strip->VScroll1->setValue(Form2::StartPosition + 9000); // then far down
        QCOMPARE(m_strip->Text2->text(), QStringLiteral("10:00"));
    }

    void layoutFollowsTheMainWindow()
    {
        QVERIFY(showStrip());
        QCOMPARE(m_strip->width(), m_main->width() / 3);
        QCOMPARE(m_strip->height(), Twips::toPixels(285, m_strip->screen()));
        // hours spinner, time box, minutes spinner, short text, then the buttons
        QVERIFY(m_strip->VScroll2->geometry().right() < m_strip->Text2->x());
        QVERIFY(m_strip->Text2->geometry().right() < m_strip->VScroll1->x());
        QVERIFY(m_strip->VScroll1->geometry().right() < m_strip->Text1->x());
        tickBoth();
        for (int i = 2; i <= 4; ++i) {
            const QRect onStrip(button(i)->mapTo(m_strip.get(), QPoint(0, 0)), button(i)->size());
            QVERIFY2(m_strip->rect().contains(onStrip), qPrintable(QString::number(i)));
            QVERIFY(onStrip.left() >= m_strip->Text1->geometry().right() - 2);
        }
        QCOMPARE(button(4)->accessibleName(), QStringLiteral("Editar Texto Largo"));
        QCOMPARE(m_strip->Text1->toolTip(), QStringLiteral("Asunto"));
        QVERIFY(m_strip->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(m_strip->isModal());
    }

    void newEntryFocusesTheMinutesSpinner()
    {
        m_strip->Text2->setText(QStringLiteral("09:30"));
        QVERIFY(showStrip());
        QCOMPARE(QApplication::focusWidget(), m_strip->VScroll1);
        QTest::keyClick(m_strip->VScroll1, Qt::Key_Up);
        QCOMPARE(m_strip->Text2->text(), QStringLiteral("09:35"));
    }

    void newEntryWithEmptyTextWritesNothing()
    {
        m_strip->Text2->setText(QStringLiteral("08:00"));
        ModalDriver::run(*m_strip, [this] { click(button(2)); });
        QCOMPARE(rowCount(), 0);
        QVERIFY(m_agenda->messenger.shown.isEmpty());
    }

    void enterSavesANewEntryAndCloses()
    {
        m_agenda->context.IdleCount = 7;
        m_strip->Text2->setText(QStringLiteral("09:30"));
        ModalDriver::run(*m_strip, [this] {
            m_strip->Text1->setFocus();
            QTest::keyClicks(m_strip->Text1, QStringLiteral("Dentista"));
            m_agenda->context.IdleCount = 3;
            QTest::keyClick(m_strip->Text1, Qt::Key_Return);
        });
        QCOMPARE(m_strip->result(), int(QDialog::Accepted));
        QCOMPARE(m_agenda->context.IdleCount, qint16(0));
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QCOMPARE(notas->RecordCount(), 1);
        QCOMPARE(notas->Text(QStringLiteral("fecha")), QStringLiteral("03/04/2024"));
        QCOMPARE(notas->Text(QStringLiteral("hora")), QStringLiteral("09:30"));
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("Dentista"));
        QVERIFY(notas->Text(QStringLiteral("horaalarma")).isEmpty());
        // the strip is back in its first state for the next opening
        QVERIFY(m_strip->Text1->text().isEmpty());
        QVERIFY(m_strip->Tag.isEmpty());
    }

    void existingEntryIsReloadedAndUpdatedOnEveryClose_data()
    {
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("close button") << false;
        QTest::newRow("escape") << true;
    }
    void existingEntryIsReloadedAndUpdatedOnEveryClose()
    {
        QFETCH(bool, byEscape);
        const qint64 other = m_agenda->addEntry(Day, QStringLiteral("08:00"), QStringLiteral("Otra"));
        const qint64 numero =
            m_agenda->addEntry(Day, QStringLiteral("10:15"), QStringLiteral("Banco"), {}, QStringLiteral("10:00"));
        m_strip->Tag = padded(numero);
        ModalDriver::run(*m_strip, [this, byEscape] {
            QVERIFY(QTest::qWaitForWindowActive(m_strip.get()));
            QCOMPARE(m_strip->Text2->text(), QStringLiteral("10:15"));
            QCOMPARE(m_strip->Text1->text(), QStringLiteral("Banco"));
            QCOMPARE(m_strip->AlarmTime, QStringLiteral("10:00"));
            QCOMPARE(QApplication::focusWidget(), m_strip->Text1);
            QTest::keyClicks(m_strip->Text1, QStringLiteral(" y correos"));
            if (byEscape)
                QTest::keyClick(m_strip->Text1, Qt::Key_Escape);
            else
                click(button(2));
        });
        QVERIFY(!m_strip->isVisible());
        QCOMPARE(rowCount(), 2);
        QCOMPARE(entry(numero)->Text(QStringLiteral("texto")), QStringLiteral("Banco y correos"));
        QCOMPARE(entry(numero)->Text(QStringLiteral("horaalarma")), QStringLiteral("10:00"));
        QCOMPARE(entry(other)->Text(QStringLiteral("texto")), QStringLiteral("Otra"));
    }

    void clearingTheTextDeletesUnlessThereIsALongNote_data()
    {
        QTest::addColumn<QString>("note");
        QTest::newRow("no long note") << QString();
        QTest::newRow("with a long note") << QStringLiteral("Llevar el contrato");
    }
    void clearingTheTextDeletesUnlessThereIsALongNote()
    {
        QFETCH(QString, note);
        const qint64 other = m_agenda->addEntry(Day, QStringLiteral("08:00"), QStringLiteral("Otra"));
        const qint64 numero = m_agenda->addEntry(Day, QStringLiteral("11:00"), QStringLiteral("Notario"), note);
        m_strip->Tag = QString::number(numero); // the plain number works as well as the padded one
        ModalDriver::run(*m_strip, [this] {
            m_strip->Text1->setFocus();
            m_strip->Text1->selectAll();
            QTest::keyClick(m_strip->Text1, Qt::Key_Delete);
            QTest::keyClick(m_strip->Text1, Qt::Key_Enter);
        });
        QVERIFY(!m_strip->isVisible());
        QVERIFY(!entry(other)->NoMatch());
        if (note.isEmpty()) {
            QVERIFY(entry(numero)->NoMatch());
            QVERIFY(m_agenda->messenger.shown.isEmpty());
        } else {
            auto kept = entry(numero);
            QVERIFY(!kept->NoMatch());
            QCOMPARE(kept->Text(QStringLiteral("texto")), QStringLiteral("Notario"));
            QCOMPARE(kept->Text(QStringLiteral("nota")), note);
            QCOMPARE(m_agenda->messenger.shown.size(), 1);
            QCOMPARE(m_agenda->messenger.shown[0].text,
                     QStringLiteral("No puede eliminarse la entrada si no elimina primero el texto largo asociado."));
            QCOMPARE(m_agenda->messenger.shown[0].title, QStringLiteral("Atención"));
            QCOMPARE(m_agenda->messenger.shown[0].icon, Messenger::Icon::Critical);
        }
    }

    void alarmButtonOnANewEntryAddsItOnce()
    {
        m_strip->Text2->setText(QStringLiteral("09:30"));
        qint64 added = -1;
        ModalDriver::run(*m_strip, [this, &added] {
            tickBoth();
            click(button(3)); // no text yet: nothing happens
            QCOMPARE(rowCount(), 0);
            m_strip->Text1->setFocus();
            QTest::keyClicks(m_strip->Text1, QStringLiteral("Reunion"));
            ModalDriver::whenOpens<Form5>([](Form5 &alarm) {
                QCOMPARE(alarm.Text2->text(), QStringLiteral("09:30"));
                alarm.VScroll1->setFocus();
                QTest::keyClick(alarm.VScroll1, Qt::Key_Up);
                click(alarm.findChild<ImageButton *>(QStringLiteral("Image1(2)")));
            });
            click(button(3));
            QCOMPARE(rowCount(), 1);
            added = m_strip->Tag.toLongLong();
            QCOMPARE(m_strip->AlarmTime, QStringLiteral("09:25")); // reloaded from the store
            m_strip->Timer1_Timer();
            QCOMPARE(button(3)->toolTip(), QStringLiteral("Activar/Desactivar Alarma"));
            pointAt(button(3));
            QCOMPARE(button(3)->toolTip(), QStringLiteral("Alarma a las 09:25. Clic para Desactivar Alarma"));
            QCOMPARE(button(3)->accessibleName(), button(3)->toolTip());
            click(button(2));
        });
        QCOMPARE(rowCount(), 1);
        auto row = entry(added);
        QVERIFY(!row->NoMatch());
        QCOMPARE(row->Text(QStringLiteral("texto")), QStringLiteral("Reunion"));
        QCOMPARE(row->Text(QStringLiteral("hora")), QStringLiteral("09:30"));
        QCOMPARE(row->Text(QStringLiteral("horaalarma")), QStringLiteral("09:25"));
        QCOMPARE(row->Text(QStringLiteral("fecha")), QStringLiteral("03/04/2024"));
    }

    void alarmButtonClearsAnAlarmAndKeepsTheTime()
    {
        const qint64 numero =
            m_agenda->addEntry(Day, QStringLiteral("10:15"), QStringLiteral("Banco"), {}, QStringLiteral("10:00"));
        m_strip->Tag = padded(numero);
        QVERIFY(showStrip());
        m_strip->Text2->setFocus();
        m_strip->Text2->selectAll();
        QTest::keyClicks(m_strip->Text2, QStringLiteral("11:45"));
        tickBoth();
        pointAt(button(3));
        QCOMPARE(button(3)->toolTip(), QStringLiteral("Alarma a las 10:00. Clic para Desactivar Alarma"));
        click(button(3));
        QVERIFY(m_strip->isVisible());
        QCOMPARE(m_strip->Text2->text(), QStringLiteral("11:45"));
        QVERIFY(m_strip->AlarmTime.isEmpty());
        QVERIFY(entry(numero)->Text(QStringLiteral("horaalarma")).isEmpty());
        QCOMPARE(entry(numero)->Text(QStringLiteral("hora")), QStringLiteral("11:45"));
        QVERIFY(m_agenda->messenger.shown.isEmpty()); // no time check: the button takes no focus
        pointAt(button(3), QPoint(5, 5));
        QCOMPARE(button(3)->toolTip(), QStringLiteral("Clic para Activar Alarma"));
        // the spinners start over: the next step counts from the starting position
        QCOMPARE(m_strip->VScroll1->value(), Form2::StartPosition);
        m_strip->VScroll1->setFocus();
        QTest::keyClick(m_strip->VScroll1, Qt::Key_Up);
        QCOMPARE(m_strip->Text2->text(), QStringLiteral("11:50"));
    }

    void longNoteOfANewEntryLandsOnThatEntry()
    {
        const qint64 other = m_agenda->addEntry(Day, QStringLiteral("08:00"), QStringLiteral("Otra"));
        m_strip->Text2->setText(QStringLiteral("12:00"));
        qint64 added = -1;
        ModalDriver::run(*m_strip, [this, &added] {
            m_strip->Text1->setFocus();
            QTest::keyClicks(m_strip->Text1, QStringLiteral("Comida"));
            ModalDriver::whenOpens<Form4>([](Form4 &editor) {
                QCOMPARE(editor.Label1->text(), QStringLiteral("Comida"));
                QVERIFY(editor.Text1->toPlainText().isEmpty());
                editor.Text1->setFocus();
                QTest::keyClicks(editor.Text1, QStringLiteral("Reservar mesa"));
                click(editor.findChild<ImageButton *>(QStringLiteral("Image1(0)")));
            });
            click(button(4));
            added = m_strip->Tag.toLongLong();
            QCOMPARE(m_strip->LongNote, QStringLiteral("Reservar mesa"));
            // the long-note button now blinks: hidden one tick in five
            int hidden = 0;
            for (int i = 0; i < 50; ++i) {
                m_strip->Timer2_Timer();
                hidden += button(4)->isHidden() ? 1 : 0;
            }
            QCOMPARE(hidden, 10);
            click(button(2));
        });
        QCOMPARE(rowCount(), 2);
        QVERIFY(added != other);
        QCOMPARE(entry(added)->Text(QStringLiteral("nota")), QStringLiteral("Reservar mesa"));
        QCOMPARE(entry(added)->Text(QStringLiteral("texto")), QStringLiteral("Comida"));
        QVERIFY(entry(other)->Field(QStringLiteral("nota")).isNull());
    }

    void leavingTheTimeBoxChecksTheTime_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("valid") << "07:05" << true;
        QTest::newRow("hour 24") << "24:00" << false;
        QTest::newRow("one hour digit") << "7:05" << false;
        QTest::newRow("letters") << "ab:cd" << false;
        QTest::newRow("longer than the column") << "12:300" << false;
    }
    void leavingTheTimeBoxChecksTheTime()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        m_strip->Tag.clear();
        QVERIFY(showStrip());
        m_strip->Text2->setFocus();
        m_strip->Text2->selectAll();
        QTest::keyClicks(m_strip->Text2, typed);
        QTest::keyClick(m_strip->Text2, Qt::Key_Tab);
        if (accepted) {
            QVERIFY(m_agenda->messenger.shown.isEmpty());
            QCOMPARE(QApplication::focusWidget(), m_strip->VScroll1);
        } else {
            QCOMPARE(m_agenda->messenger.shown.size(), 1);
            QCOMPARE(m_agenda->messenger.shown[0].text, QStringLiteral("La hora debe tener el formato HH:MM"));
            QCOMPARE(m_agenda->messenger.shown[0].title, QStringLiteral("Hora Incorrecta"));
            QCOMPARE(m_agenda->messenger.shown[0].icon, Messenger::Icon::Critical);
            QCOMPARE(QApplication::focusWidget(), m_strip->Text2);
        }
        QCOMPARE(m_strip->Text2->text(), typed);
    }

    void aTimeSavedWithoutLeavingTheBoxIsStoredUnchecked()
    {
        QVERIFY(showStrip());
        m_strip->Text1->setFocus();
        QTest::keyClicks(m_strip->Text1, QStringLiteral("Llamar"));
        m_strip->Text2->setFocus();
        m_strip->Text2->selectAll();
        QTest::keyClicks(m_strip->Text2, QStringLiteral("7:5"));
        click(button(2));
        QVERIFY(!m_strip->isVisible());
        QVERIFY(m_agenda->messenger.shown.isEmpty());
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QCOMPARE(notas->Text(QStringLiteral("hora")), QStringLiteral("7:5"));
    }

    void aTimeTooLongForTheStoreIsRefused()
    {
        const qint64 numero = m_agenda->addEntry(Day, QStringLiteral("10:15"), QStringLiteral("Banco"));
        m_strip->Tag = padded(numero);
        QVERIFY(showStrip());
        m_strip->Text2->setFocus();
        m_strip->Text2->selectAll();
        QTest::keyClicks(m_strip->Text2, QStringLiteral("10:300"));
        for (int index : {2, 3, 4}) {
            m_agenda->messenger.clear();
            click(button(index));
            QCOMPARE(m_agenda->messenger.texts(), QStringList{QStringLiteral("La hora debe tener el formato HH:MM")});
            QVERIFY(m_strip->isVisible());
            QCOMPARE(QApplication::activeModalWidget(), m_strip.get());
            QCOMPARE(QApplication::focusWidget(), m_strip->Text2);
        }
        QCOMPARE(entry(numero)->Text(QStringLiteral("hora")), QStringLiteral("10:15"));
        QVERIFY(entry(numero)->Text(QStringLiteral("horaalarma")).isEmpty());
        // corrected, the strip saves and closes
        m_strip->Text2->setText(QStringLiteral("10:30"));
        click(button(2));
        QVERIFY(!m_strip->isVisible());
        QCOMPARE(entry(numero)->Text(QStringLiteral("hora")), QStringLiteral("10:30"));
    }

    void aMissingEntryNeverTouchesAnother_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("closed empty") << QString();
        QTest::newRow("closed with a text") << QStringLiteral("Nueva");
    }
    void aMissingEntryNeverTouchesAnother()
    {
        QFETCH(QString, typed);
        const qint64 other = m_agenda->addEntry(Day, QStringLiteral("08:00"), QStringLiteral("Otra"),
                                                QStringLiteral("nota"), QStringLiteral("07:55"));
        m_main->diary.Data1.FindFirst(Criterion::numberEquals(QStringLiteral("numero"), other)); // Data1 stands on it
        m_strip->Tag = padded(other + 50);
        QVERIFY(showStrip());
        QCOMPARE(m_agenda->messenger.texts(), QStringList{QStringLiteral("no lo encuentro")});
        QCOMPARE(m_agenda->messenger.shown[0].icon, Messenger::Icon::None);
        QVERIFY(m_strip->Text1->text().isEmpty()); // not the other entry's text
        QVERIFY(m_strip->AlarmTime.isEmpty());
        QVERIFY(m_strip->LongNote.isEmpty());
        QTest::keyClicks(m_strip->Text1, typed);
        click(button(2));
        QVERIFY(!m_strip->isVisible());
        auto kept = entry(other);
        QVERIFY(!kept->NoMatch());
        QCOMPARE(kept->Text(QStringLiteral("texto")), QStringLiteral("Otra"));
        QCOMPARE(kept->Text(QStringLiteral("hora")), QStringLiteral("08:00"));
        QCOMPARE(kept->Text(QStringLiteral("horaalarma")), QStringLiteral("07:55"));
        QCOMPARE(rowCount(), typed.isEmpty() ? 1 : 2);
        if (!typed.isEmpty()) {
            auto notas = m_agenda->cursor(QStringLiteral("notas"));
            QVERIFY(notas->MoveLast());
            QCOMPARE(notas->Text(QStringLiteral("texto")), typed);
            QCOMPARE(notas->Text(QStringLiteral("fecha")), QStringLiteral("03/04/2024"));
        }
    }

    void anEntryDeletedMeanwhileIsNotFoundAgain()
    {
        const qint64 other = m_agenda->addEntry(Day, QStringLiteral("08:00"), QStringLiteral("Otra"));
        const qint64 numero = m_agenda->addEntry(Day, QStringLiteral("09:00"), QStringLiteral("Efímera"));
        m_strip->Tag = padded(numero);
        QVERIFY(showStrip());
        auto notas = entry(numero);
        QVERIFY(notas->Delete());
        m_main->diary.Data1.FindFirst(Criterion::numberEquals(QStringLiteral("numero"), other));
        // emptied: nothing left to delete, and the other entry stays
        m_strip->Text1->clear();
        click(button(2));
        QCOMPARE(rowCount(), 1);
        QCOMPARE(entry(other)->Text(QStringLiteral("texto")), QStringLiteral("Otra"));
    }

    void saveThatFailsIsToldToTheUser()
    {
        m_strip->Text2->setText(QStringLiteral("09:30"));
        QVERIFY(showStrip());
        QTest::keyClicks(m_strip->Text1, QStringLiteral("Perdida"));
        Database::refuseWrites(m_agenda->databaseFile(), QStringLiteral("la agenda no se puede modificar"));
        click(button(3));
        QCOMPARE(m_agenda->messenger.shown.size(), 1);
        QVERIFY(m_agenda->messenger.shown[0].text.startsWith(
            QStringLiteral("No se ha podido guardar la entrada «Perdida» del 03/04/2024")));
        QCOMPARE(m_agenda->messenger.shown[0].icon, Messenger::Icon::Critical);
        QVERIFY(m_strip->isVisible()); // the alarm strip does not open on nothing
        QCOMPARE(QApplication::activeModalWidget(), m_strip.get());
    }

    void alarmButtonBlinksWhileAnAlarmIsSet()
    {
        QVERIFY(showStrip());
        QVERIFY(button(3)->isHidden());
        QVERIFY(button(4)->isHidden());
        tickBoth();
        QVERIFY(!button(3)->isHidden());
        QVERIFY(!button(4)->isHidden());
        for (int i = 0; i < 20; ++i) {
            tickBoth();
            QVERIFY(!button(3)->isHidden());
            QVERIFY(!button(4)->isHidden());
        }
        m_strip->AlarmTime = QStringLiteral("09:00");
        int hidden = 0;
        for (int i = 0; i < 90; ++i) {
            m_strip->Timer1_Timer();
            hidden += button(3)->isHidden() ? 1 : 0;
        }
        QCOMPARE(hidden, 10);
        m_agenda->context.IdleCount = 12;
        m_strip->Timer2_Timer();
        QCOMPARE(m_agenda->context.IdleCount, qint16(0));
        QVERIFY(m_strip->Timer1.isActive());
        QCOMPARE(m_strip->Timer2.interval(), 200);
        click(button(2));
        QVERIFY(!m_strip->Timer1.isActive());
        QVERIFY(!m_strip->Timer2.isActive());
    }

    void placeAtUsesTwips()
    {
        const QScreen *screen = m_main->screen();
        m_strip->placeAt(Twips::fromPixels(150, screen), Twips::fromPixels(90, screen));
        QCOMPARE(m_strip->pos(), QPoint(150, 90));
    }
};

QTEST_MAIN(TestEntryDialog)
#include "tst_entrydialog.moc"
