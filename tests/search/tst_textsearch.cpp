#include "agenda/WeekView.h"
#include "data/Diary.h"
#include "data/EntryStore.h"
#include "data/store/Criterion.h"
#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"
#include "mainwindow/TabStrip.h"
#include "search/TextSearch.h"
#include "support/TestAgenda.h"
#include "widgets/ImageButton.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

class TestTextSearch : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_diary = std::make_unique<Diary>();
        QCOMPARE(m_diary->open(m_agenda->databaseFile()), QString());
        m_search = std::make_unique<TextSearch>(*m_diary, m_agenda->context, nullptr);
        m_search->resize(420, 520);
        m_search->layoutSection();
        m_search->show();
        QVERIFY(QTest::qWaitForWindowActive(m_search.get()));
    }
    void cleanup()
    {
        m_search.reset();
        m_diary.reset();
        m_agenda.reset();
    }

    void buttonsFollowTheTextBeforeTheKey()
    {
        auto enabled = [this] { return m_search->Command2[2]->isEnabled() && m_search->Command2[3]->isEnabled(); };
        QLineEdit *box = m_search->Text1;
        QTest::keyClick(box, Qt::Key_A);
        QVERIFY(!enabled());
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(enabled());
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QString());
        QVERIFY(enabled());
        QTest::keyClick(box, Qt::Key_B);
        QVERIFY(!enabled());
    }

    void foundTextIsSelected_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("inNote");
        QTest::addColumn<QString>("selected");
        QTest::newRow("short text") << "Cena con Ana"
                                    << ""
                                    << "ana" << false << "Ana";
        QTest::newRow("note as typed") << "Cita"
                                       << "llamar a ana"
                                       << "ana" << true << "ana";
        QTest::newRow("both: the note wins") << "ana"
                                             << "ver a ana"
                                             << "ana" << true << "ana";
        QTest::newRow("note in other case, short text") << "Ana"
                                                        << "ver a ANA"
                                                        << "ana" << false << "Ana";
        QTest::newRow("only the note, other case") << "Cita"
                                                   << "ver a ANA"
                                                   << "ana" << true << "ANA";
        QTest::newRow("accents") << "Reunión de obra"
                                 << ""
                                 << "REUNION" << false << "Reunión";
        QTest::newRow("pattern characters") << "l'agenda al 50%"
                                            << ""
                                            << "'agenda al 50%" << false << "'agenda al 50%";
    }
    void foundTextIsSelected()
    {
        QFETCH(QString, subject);
        QFETCH(QString, note);
        QFETCH(QString, search);
        QFETCH(bool, inNote);
        QFETCH(QString, selected);
        m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("otra cosa"));
        m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("10:00"), subject, note);
        find(search, 2);
        QCOMPARE(m_search->Label5->text(), QStringLiteral("MIÉRCOLES, 3 DE ABRIL DE 2024"));
        QVERIFY(m_search->Picture3->isHidden());
        QVERIFY(m_search->Command4->isEnabled());
        QCOMPARE(m_search->Text2->text(), subject);
        QCOMPARE(m_search->Text3->toPlainText(), note);
        if (inNote) {
            QCOMPARE(m_search->Text3->textCursor().selectedText(), selected);
            QVERIFY(m_search->Text3->hasFocus());
        } else {
            QCOMPARE(m_search->Text2->selectedText(), selected);
            QVERIFY(m_search->Text2->hasFocus());
        }
    }

    void stepsVisitMatchesInOrderAdded_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QList<int>>("found"); // entry added n-th (from 0), -1 for none
        QTest::newRow("first, then next") << "reunion" << QList<int>{2, 1, 1, 1, 0} << QList<int>{0, 2, 3, -1, 2};
        QTest::newRow("last, then previous") << "reunion" << QList<int>{3, 0, 0, 0, 1} << QList<int>{3, 2, 0, -1, 2};
        QTest::newRow("absent") << "ninguna" << QList<int>{2, 3} << QList<int>{-1, -1};
        QTest::newRow("pattern characters") << "50%" << QList<int>{2, 1} << QList<int>{0, -1};
        QTest::newRow("apostrophe") << "l'a" << QList<int>{3, 0} << QList<int>{4, -1};
    }
    void stepsVisitMatchesInOrderAdded()
    {
        QFETCH(QString, search);
        QFETCH(QList<int>, clicks);
        QFETCH(QList<int>, found);
        const QList<qint64> added = addSample();
        qint64 shown = -1;
        for (int k = 0; k < clicks.size(); ++k) {
            find(search, clicks[k]);
            const bool none = found[k] < 0;
            QCOMPARE(m_search->Label6->isVisible(), none);
            QCOMPARE(m_search->Picture3->isVisible(), none);
            if (!none)
                shown = added[found[k]];
            QCOMPARE(m_search->shownEntry(), shown);
        }
    }

    void nextGoesOnFromTheEntryShown()
    {
        const QList<qint64> added = addSample();
        find(QStringLiteral("reunion"), 2);
        // The week view moves the same cursor whenever it shows a week.
        m_diary->Data1.FindFirst(Criterion::numberEquals(QStringLiteral("numero"), added[3]));
        find(QStringLiteral("reunion"), 1);
        QCOMPARE(m_search->shownEntry(), added[2]);
    }

    void typingIsSavedToTheEntryShown()
    {
        const QList<qint64> added = addSample();
        find(QStringLiteral("reunion"), 2);
        m_search->Text2->setFocus();
        m_search->Text2->selectAll();
        QTest::keyClicks(m_search->Text2, QStringLiteral("Reunion aplazada"));
        m_diary->Data1.FindFirst(Criterion::numberEquals(QStringLiteral("numero"), added[3]));
        m_search->Text3->setFocus();
        QTest::keyClicks(m_search->Text3, QStringLiteral("sin fecha"));
        m_search->Text1->setFocus();

        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QVERIFY(notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), added[0])));
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("Reunion aplazada"));
        QCOMPARE(notas->Text(QStringLiteral("nota")), QStringLiteral("sin fecha"));
        QVERIFY(notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), added[3])));
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("Cita"));
        QCOMPARE(m_agenda->messenger.shown.size(), 0);
    }

    // The program ends (the main window goes) while the user is still typing into a box.
    void typingIsKeptWhenTheProgramEnds_data()
    {
        QTest::addColumn<bool>("inNote");
        QTest::newRow("subject") << false;
        QTest::newRow("note") << true;
    }
    void typingIsKeptWhenTheProgramEnds()
    {
        QFETCH(bool, inNote);
        m_search.reset();
        const qint64 key = m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("Cita"));
        {
            Application program(m_agenda->context);
            Form1 &main = program.mainWindow();
            QVERIFY(program.Form_Load());
            main.show();
            QVERIFY(QTest::qWaitForWindowActive(&main));
            QTest::mouseClick(main.tabs().Image7[0], Qt::LeftButton);
            auto *search = qobject_cast<TextSearch *>(main.section(0));
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("cita"));
            QTest::mouseClick(search->Command2[2], Qt::LeftButton);
            QWidget *box = inNote ? static_cast<QWidget *>(search->Text3) : search->Text2;
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 4, box->height() / 2));
            QCOMPARE(QApplication::focusWidget(), box);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, inNote ? Qt::ControlModifier : Qt::NoModifier);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(" urgente"));
        }
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QVERIFY(notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), key)));
        QCOMPARE(notas->Text(inNote ? QStringLiteral("nota") : QStringLiteral("texto")),
                 inNote ? QStringLiteral(" urgente") : QStringLiteral("Cita urgente"));
    }

    void irShowsTheWeekOfTheEntry()
    {
        m_search.reset();
        m_agenda->clock.setToday(QDate(2024, 4, 3));
        m_agenda->addEntry(QDate(2023, 11, 16), QStringLiteral("09:00"), QStringLiteral("Revisión del coche"));
        Application program(m_agenda->context);
        Form1 &main = program.mainWindow();
        QVERIFY(program.Form_Load());
        main.Image7_Click(0);
        auto *search = qobject_cast<TextSearch *>(main.section(0));
        QVERIFY(search && search->isVisibleTo(&main));
        search->Text1->setText(QStringLiteral("revision"));
        search->Command2_Click(2);
        search->Command4->click();
        QCOMPARE(main.diary().SelectedDate, QDate(2023, 11, 16));
        QCOMPARE(main.openSection(), 4);
        QVERIFY(!search->isVisibleTo(&main));
        QCOMPARE(main.week().WeekStart, QDate(2023, 11, 13));
    }

    void theEntryOnShowFollowsWritesElsewhere()
    {
        const qint64 numero = m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("Cena"));
        QTest::keyClicks(m_search->Text1, QStringLiteral("cena"));
        QTest::mouseClick(m_search->Command2[2], Qt::LeftButton);
        QCOMPARE(m_search->shownEntry(), numero);
        QVERIFY(m_diary->entries().setNote(numero, QStringLiteral("con Ana")));
        QCOMPARE(m_search->Text3->toPlainText(), QStringLiteral("con Ana"));
    }

private:
    void find(const QString &text, int button)
    {
        m_search->Text1->setText(text);
        m_search->Command2_Click(button);
    }

    // Added in this order, which is not the order of their dates.
    QList<qint64> addSample()
    {
        return {m_agenda->addEntry(QDate(2024, 5, 10), QStringLiteral("09:00"), QStringLiteral("Reunión al 50%")),
                m_agenda->addEntry(QDate(2024, 5, 11), QStringLiteral("09:00"), QStringLiteral("Comida"),
                                   QStringLiteral("500 gramos")),
                m_agenda->addEntry(QDate(2024, 1, 1), QStringLiteral("10:00"), QStringLiteral("reunion anual")),
                m_agenda->addEntry(QDate(2024, 3, 3), QStringLiteral("11:00"), QStringLiteral("Cita"),
                                   QStringLiteral("otra REUNIÓN")),
                m_agenda->addEntry(QDate(2024, 3, 4), QStringLiteral("12:00"), QStringLiteral("l'agenda"))};
    }

    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Diary> m_diary;
    std::unique_ptr<TextSearch> m_search;
};

QTEST_MAIN(TestTextSearch)
#include "tst_textsearch.moc"
