#include "data/Diary.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/PhoneSearch.h"
#include "support/TestAgenda.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

using CardColumns = QList<std::pair<const char *, const char *>>;

// The phone book's search box and card, on a book of a few cards.
class TestPhoneSearch : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Diary> m_diary;
    std::unique_ptr<PhoneBook> m_book;

    void addCard(const CardColumns &fields)
    {
        auto cards = m_agenda->cursor(QStringLiteral("telefonos"));
        QVERIFY(cards->AddNew());
        for (const auto &[column, value] : fields)
            QVERIFY(cards->SetField(QString::fromLatin1(column), QString::fromUtf8(value)));
        QVERIFY(cards->Update());
    }
    // Clicks into the search box and types over what it holds, as a user does.
    void type(const QString &text)
    {
        QLineEdit *box = m_book->Combo1->lineEdit();
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    // The card's first line after one Enter (the main or the keypad one), or the box's text when
    // nothing was found.
    QString enter(Qt::KeyboardModifiers keypad = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), keypad ? Qt::Key_Enter : Qt::Key_Return, keypad);
        const QString card = m_book->Text4->toPlainText();
        return card.isEmpty() ? m_book->Combo1->currentText() : card.section(u'\n', 0, 0);
    }

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        addCard({{"NOMBRE", "Peña Ruiz"}, {"TEL1", "912000000"}});
        addCard({{"NOMBRE", "Fax Solo"}, {"FAX", "915551000"}});
        addCard({{"NOMBRE", "García López"}, {"TEL3", "915551234"}});
        addCard({{"TEL1", "915551999"}}); // never saved: no name
        addCard({{"NOMBRE", "Margarita Garcés"}, {"TEL2", "600000000"}});
        addCard({{"NOMBRE", "Oficina 000"}});
        addCard({{"NOMBRE", "Luis O'Brien"}, {"TEL1", "5551"}});
        m_diary = std::make_unique<Diary>();
        QCOMPARE(m_diary->open(m_agenda->databaseFile()), QString());
        m_book = std::make_unique<PhoneBook>(*m_diary, m_agenda->context, nullptr);
        m_book->resize(500, 600);
        m_book->show();
        QVERIFY(QTest::qWaitForWindowActive(m_book.get()));
        m_book->layoutSection();
        m_book->enter();
    }
    void cleanup()
    {
        m_book.reset();
        m_diary.reset();
        m_agenda.reset();
    }

    void listsTheSavedNamesSortedAndDropsNamelessCards()
    {
        QStringList names;
        for (int i = 0; i < m_book->Combo1->count(); ++i)
            names << m_book->Combo1->itemText(i);
        QCOMPARE(
            names,
            (QStringList{"Fax Solo", "García López", "Luis O'Brien", "Margarita Garcés", "Oficina 000", "Peña Ruiz"}));
        QCOMPARE(m_agenda->cursor(QStringLiteral("telefonos"))->RecordCount(), 6);
        QVERIFY(!m_diary->DataTelefonos.hasCurrent());
        QVERIFY(m_book->Combo1->currentText().isEmpty());
    }

    void enterShowsEachMatchInTurn_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("phone, not fax") << "5551" << QStringList{"GARCÍA LÓPEZ", "LUIS O'BRIEN"};
        QTest::newRow("part of names") << "garc" << QStringList{"GARCÍA LÓPEZ", "MARGARITA GARCÉS"};
        QTest::newRow("accents ignored") << "garcia" << QStringList{"GARCÍA LÓPEZ"};
        QTest::newRow("capitals and accents") << "GARCÉS" << QStringList{"MARGARITA GARCÉS"};
        QTest::newRow("ñ is a letter") << "pena" << QStringList{};
        QTest::newRow("ñ found as ñ") << "PEÑA" << QStringList{"PEÑA RUIZ"};
        QTest::newRow("leading zero searches names") << "000" << QStringList{"OFICINA 000"};
        QTest::newRow("apostrophe") << "o'b" << QStringList{"LUIS O'BRIEN"};
        QTest::newRow("pattern characters") << "%" << QStringList{};
        QTest::newRow("star") << "*" << QStringList{};
    }
    void enterShowsEachMatchInTurn()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        type(typed);
        QStringList seen;
        // Every other Enter from the keypad: both keys search alike.
        for (QString line = enter(); line != QStringLiteral("No se encontró") && seen.size() < 10;
             line = enter(seen.size() % 2 ? Qt::NoModifier : Qt::KeypadModifier))
            seen << line;
        QCOMPARE(seen, shown);
        QVERIFY(m_book->Text4->toPlainText().isEmpty());
        QCOMPARE(QApplication::focusWidget(), m_book->Combo1);
    }

    void enterWithNothingFoundYetStartsAtTheFirstCard()
    {
        QCOMPARE(enter(), QStringLiteral("PEÑA RUIZ"));
        type(QStringLiteral("garc"));
        QCOMPARE(enter(), QStringLiteral("GARCÍA LÓPEZ"));
        m_book->LoadPhoneNames();
        QCOMPARE(enter(), QStringLiteral("PEÑA RUIZ"));
    }

    void choosingANameShowsItsCard()
    {
        m_book->Combo1->setCurrentIndex(m_book->Combo1->findText(QStringLiteral("Luis O'Brien")));
        m_book->Combo1_Click(m_book->Combo1->currentIndex());
        QCOMPARE(m_book->Text4->toPlainText(), QStringLiteral("LUIS O'BRIEN\n\nTeléfono 1: 5551\n"));
        m_book->Combo1->clearEditText();
        QVERIFY(m_book->Text4->toPlainText().isEmpty());
    }

    void cardShowsWhatTheCardHolds_data()
    {
        QTest::addColumn<CardColumns>("card");
        QTest::addColumn<QString>("text");
        QTest::newRow("name only") << CardColumns{{"NOMBRE", "Ana"}} << "ANA\n\n";
        QTest::newRow("phones 1 and 3") << CardColumns{{"NOMBRE", "Ana"},
                                                       {"TEL1", "111"},
                                                       {"TEL2", ""},
                                                       {"TEL3", "333"}}
                                        << "ANA\n\nTeléfono 1: 111\nTeléfono 3: 333\n";
        QTest::newRow("every column")
            << CardColumns{{"NOMBRE", "Ana"},      {"TEL1", "1"},          {"TEL2", "2"},
                           {"TEL3", "3"},          {"FAX", "4"},           {"EMAIL1", "a@x"},
                           {"EMAIL2", "b@x"},      {"EMAIL3", "c@x"},      {"DIRECCION", "Mayor 1"},
                           {"POBLACION", "Soria"}, {"PROVINCIA", "Soria"}, {"PAIS", "España"}}
            << "ANA\n\nTeléfono 1: 1\nTeléfono 2: 2\nTeléfono 3: 3\nEMAIL 1: a@x\n"
               "EMAIL 2: b@x\nDirección: Mayor 1\nPoblación: Soria\nProvincia: Soria\n";
    }
    void cardShowsWhatTheCardHolds()
    {
        QFETCH(CardColumns, card);
        QFETCH(QString, text);
        addCard(card);
        m_book->LoadPhoneNames();
        m_diary->DataTelefonos.MoveLast();
        m_book->ShowCard();
        QCOMPARE(m_book->Text4->toPlainText(), text);
    }

    void theLeadingNumberDecidesPhoneOrName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("phone");
        QTest::newRow("digits") << "5551" << true;
        QTest::newRow("blanks inside") << " 9 1 5" << true;
        QTest::newRow("sign") << "+34" << true;
        QTest::newRow("fraction") << "0.5" << true;
        QTest::newRow("zeros") << "000" << false;
        QTest::newRow("zero then letters") << "0abc" << false;
        QTest::newRow("letters then digits") << "abc5" << false;
        QTest::newRow("two points") << "0..5" << false;
        QTest::newRow("empty") << "" << false;
    }
    void theLeadingNumberDecidesPhoneOrName()
    {
        QFETCH(QString, text);
        QFETCH(bool, phone);
        QCOMPARE(PhoneSearch::beginsWithNumber(text), phone);
    }
};

QTEST_MAIN(TestPhoneSearch)
#include "tst_phonesearch.moc"
