#include "data/CardStore.h"
#include "data/Diary.h"
#include "data/store/Criterion.h"
#include "phonebook/Form7.h"
#include "phonebook/PhoneBook.h"
#include "support/ModalDriver.h"
#include "support/TestAgenda.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>

// Adding, editing and deleting cards through the phone book's buttons and the card dialog.
class TestCardDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Diary> m_diary;
    std::unique_ptr<PhoneBook> m_book;
    bool m_dialogOpened = false;

    // Clicks Command3(index) while driver works the card dialog it opens. A dialog left open is
    // closed after a while, so a fault fails the test instead of hanging it.
    void clickWithDialog(int index, const std::function<void(Form7 &)> &driver)
    {
        m_dialogOpened = false;
        QTimer::singleShot(0, this, [this, driver] {
            auto *dialog = qobject_cast<Form7 *>(QApplication::activeModalWidget());
            m_dialogOpened = dialog != nullptr;
            if (dialog)
                driver(*dialog);
        });
        ModalDriver::giveUpLater(this);
        QTest::mouseClick(m_book->Command3[size_t(index)], Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    void search(const QString &text)
    {
        m_book->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_book.get()));
        m_book->Combo1->setFocus();
        m_book->Combo1->setEditText(text);
        m_book->NewPhoneSearch = true;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    QStringList names() const
    {
        QStringList list;
        for (int i = 0; i < m_book->Combo1->count(); ++i)
            list << m_book->Combo1->itemText(i);
        return list;
    }
    std::unique_ptr<RecordCursor> cardNamed(const QString &name)
    {
        auto cards = m_agenda->cursor(QStringLiteral("telefonos"));
        cards->FindFirst(Criterion::textEquals(QStringLiteral("NOMBRE"), name));
        return cards;
    }
    static void clearAll(Form7 &dialog)
    {
        for (QLineEdit *box : dialog.Text1)
            box->clear();
    }

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        auto cards = m_agenda->cursor(QStringLiteral("telefonos"));
        QVERIFY(cards->AddNew());
        cards->SetField(QStringLiteral("NOMBRE"), QStringLiteral("Ana Pérez"));
        cards->SetField(QStringLiteral("TEL1"), QStringLiteral("911111111"));
        QVERIFY(cards->Update());
        m_diary = std::make_unique<Diary>();
        QCOMPARE(m_diary->open(m_agenda->databaseFile()), QString());
        m_book = std::make_unique<PhoneBook>(*m_diary, m_agenda->context, nullptr);
        m_book->resize(500, 600);
        m_book->show();
        m_book->layoutSection();
        m_book->enter();
    }
    void cleanup()
    {
        m_book.reset();
        m_diary.reset();
        m_agenda.reset();
    }

    void editAndDeleteWaitForASearch()
    {
        for (int button : {1, 2}) {
            clickWithDialog(button, [](Form7 &dialog) { dialog.close(); });
            QVERIFY(!m_dialogOpened);
        }
        QVERIFY(m_agenda->messenger.shown.isEmpty());
        QCOMPARE(names(), QStringList{"Ana Pérez"});
    }

    void deleteAsksFirst()
    {
        search(QStringLiteral("ana"));
        const QString card = m_book->Text4->toPlainText();
        m_agenda->messenger.answerNext(Messenger::No);
        QTest::mouseClick(m_book->Command3[2], Qt::LeftButton);
        QCOMPARE(m_agenda->messenger.texts(), QStringList{"¿Desea borrar los datos de Ana Pérez?"});
        QCOMPARE(m_agenda->messenger.shown[0].buttons, unsigned(Messenger::Yes | Messenger::No));
        QCOMPARE(m_book->Text4->toPlainText(), card);
        QCOMPARE(names(), QStringList{"Ana Pérez"});

        m_agenda->messenger.answerNext(Messenger::Yes);
        QTest::mouseClick(m_book->Command3[2], Qt::LeftButton);
        QVERIFY(names().isEmpty());
        QVERIFY(m_book->Text4->toPlainText().isEmpty());
        QCOMPARE(m_agenda->cursor(QStringLiteral("telefonos"))->RecordCount(), 0);
    }

    void addClosedAtOnceLeavesNothing()
    {
        clickWithDialog(0, [](Form7 &dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Añadir Nuevo"));
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QTRY_VERIFY(dialog.Text1[0]->hasFocus());
            dialog.close();
        });
        QVERIFY(m_dialogOpened);
        QCOMPARE(m_agenda->messenger.texts(),
                 QStringList{"Todos los campos están en blanco, la ficha no se dará de alta."});
        QCOMPARE(m_agenda->cursor(QStringLiteral("telefonos"))->RecordCount(), 1);
    }

    void addClosedWithoutANameLeavesNoName()
    {
        clickWithDialog(0, [](Form7 &dialog) {
            dialog.Text1[1]->setText(QStringLiteral("922222222"));
            QTest::mouseClick(dialog.Command1, Qt::LeftButton);
            QCOMPARE(dialog.isVisible(), true);
            dialog.close();
        });
        QCOMPARE(m_agenda->messenger.texts(), QStringList{"No se puede dar de alta una ficha sin nombre"});
        QCOMPARE(names(), QStringList{"Ana Pérez"});
        QCOMPARE(m_agenda->cursor(QStringLiteral("telefonos"))->RecordCount(), 1);
    }

    void addSavesEveryBoxInItsColumnWhole()
    {
        // Longer than the nine and fifty characters the old cards allowed: kept as typed.
        const QStringList typed{"Bea Ruiz",
                                "+34 91 555 12 34",
                                "",
                                "600 11 22 33",
                                "",
                                "bea@example.org",
                                "",
                                "",
                                QStringLiteral("Calle de la Princesa de Éboli, número 147, escalera B, 4.º izquierda"),
                                "Madrid",
                                "",
                                "España"};
        clickWithDialog(0, [&](Form7 &dialog) {
            for (int i = 0; i < Form7::Columns; ++i) {
                QCOMPARE(dialog.Text1[size_t(i)]->accessibleName(), dialog.Label1[size_t(i)]->text());
                dialog.Text1[size_t(i)]->setText(typed[i]);
            }
            QTest::mouseClick(dialog.Command1, Qt::LeftButton);
        });
        QVERIFY(m_agenda->messenger.shown.isEmpty());
        QCOMPARE(names(), (QStringList{"Ana Pérez", "Bea Ruiz"}));
        auto card = cardNamed(QStringLiteral("Bea Ruiz"));
        for (int i = 0; i < Form7::Columns; ++i) {
            QVERIFY2(!card->Field(i).isNull(), qPrintable(QString::number(i)));
            QCOMPARE(card->Field(i).toString(), typed[i]);
        }
        QVERIFY(!m_diary->DataTelefonos.hasCurrent());
    }

    void editSavesAndShowsTheCardAsItNowStands()
    {
        search(QStringLiteral("911"));
        clickWithDialog(1, [](Form7 &dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Editar Datos de..."));
            QCOMPARE(dialog.Text1[0]->text(), QStringLiteral("Ana Pérez"));
            QCOMPARE(dialog.Text1[1]->text(), QStringLiteral("911111111"));
            QVERIFY(dialog.Text1[2]->text().isEmpty());
            dialog.Text1[2]->setText(QStringLiteral("933333333"));
            QTest::mouseClick(dialog.Command1, Qt::LeftButton);
        });
        QCOMPARE(cardNamed(QStringLiteral("Ana Pérez"))->Text(QStringLiteral("TEL2")), QStringLiteral("933333333"));
        QVERIFY(m_book->Text4->toPlainText().contains(QStringLiteral("Teléfono 2: 933333333")));
        clickWithDialog(1, [](Form7 &dialog) { dialog.close(); });
        QVERIFY(!m_dialogOpened); // the refilled list leaves no card to edit
    }

    void editWithTheNameClearedKeepsTheCard()
    {
        search(QStringLiteral("ana"));
        clickWithDialog(1, [](Form7 &dialog) {
            dialog.Text1[0]->clear();
            dialog.Text1[1]->setText(QStringLiteral("999"));
            QTest::mouseClick(dialog.Command1, Qt::LeftButton);
            QVERIFY(dialog.isVisible());
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QTRY_VERIFY(dialog.Text1[0]->hasFocus());
            dialog.close();
        });
        QCOMPARE(m_agenda->messenger.texts(), QStringList{"No se puede dar de alta una ficha sin nombre"});
        QCOMPARE(m_agenda->messenger.shown[0].icon, Messenger::Icon::Critical);
        QCOMPARE(cardNamed(QStringLiteral("Ana Pérez"))->Text(QStringLiteral("TEL1")), QStringLiteral("911111111"));
        QCOMPARE(names(), QStringList{"Ana Pérez"});
    }

    // A card written elsewhere (an import) is listed without entering the section again.
    void namesFollowWhatTheDiaryTells()
    {
        Card bea;
        bea.fields[Card::Name] = QStringLiteral("Bea Ruiz");
        QVERIFY(m_diary->cards().add(bea));
        QCOMPARE(names(), (QStringList{"Ana Pérez", "Bea Ruiz"}));
    }

    void editWithEveryBoxClearedDeletesTheCard()
    {
        search(QStringLiteral("ana"));
        clickWithDialog(1, [](Form7 &dialog) {
            clearAll(dialog);
            QTest::keyClick(&dialog, Qt::Key_Escape); // Escape does not close: what was typed stays
            QVERIFY(dialog.isVisible());
            dialog.close();
        });
        QCOMPARE(m_agenda->messenger.texts(),
                 QStringList{"Todos los campos están en blanco, la ficha no se dará de alta."});
        QCOMPARE(m_agenda->messenger.shown[0].icon, Messenger::Icon::Information);
        QCOMPARE(m_agenda->cursor(QStringLiteral("telefonos"))->RecordCount(), 0);
        QVERIFY(names().isEmpty());
        QVERIFY(m_book->Text4->toPlainText().isEmpty());
    }
};

QTEST_MAIN(TestCardDialog)
#include "tst_carddialog.moc"
