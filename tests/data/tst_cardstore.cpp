#include "data/CardStore.h"
#include "data/Diary.h"
#include "data/Schema.h"
#include "data/store/Criterion.h"
#include "support/TestAgenda.h"

#include <QSignalSpy>
#include <QtTest>

// The card store's rules, on a diary of its own: what it refuses, what it tells the views, and
// that a write reaches the card it names wherever the phone book's cursor stands.
class TestCardStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestAgenda> m_agenda;

    static Card card(const QString &name, const QString &phone = QStringLiteral("911111111"))
    {
        Card card;
        card.fields[Card::Name] = name;
        card.fields[Card::Phone1] = phone;
        return card;
    }
    CardStore &store() { return m_agenda->diary().cards(); }

private slots:
    void init() { m_agenda = std::make_unique<TestAgenda>(); }
    void cleanup() { m_agenda.reset(); }

    void refusesWhatIsNotKept_data()
    {
        QTest::addColumn<QString>("write");
        QTest::addColumn<QString>("why");
        const QString noName = QStringLiteral("No se puede dar de alta una ficha sin nombre");
        const QString gone = QStringLiteral("La ficha ya no está en la agenda");
        QTest::newRow("add without a name") << "add" << noName;
        QTest::newRow("update without a name") << "update" << noName;
        QTest::newRow("update deleted meanwhile") << "update gone" << gone;
        QTest::newRow("remove deleted meanwhile") << "remove gone" << gone;
    }
    void refusesWhatIsNotKept()
    {
        QFETCH(QString, write);
        QFETCH(QString, why);
        const qint64 key = store().add(card(QStringLiteral("Ana"))).key();
        if (write.endsWith(u"gone")) {
            auto telefonos = m_agenda->cursor(Schema::Telefonos::Table);
            QVERIFY(telefonos->FindKey(key) && telefonos->Delete());
        }
        Card written = card(write.endsWith(u"gone") ? QStringLiteral("Ana") : QString());
        written.key = write == u"add" ? -1 : key;
        QSignalSpy told(&m_agenda->diary(), &Diary::changed);
        const StoreResult result = write == u"add" ? store().add(written)
            : write == u"remove gone"              ? store().remove(key)
                                                   : store().update(written);
        QCOMPARE(result.status(), StoreResult::Status::Refused);
        QCOMPARE(result.why(), why);
        QCOMPARE(told.count(), 0);
        if (!write.endsWith(u"gone"))
            QCOMPARE(store().card(key)->name(), QStringLiteral("Ana"));
    }

    void eachWriteIsToldWithItsKey_data()
    {
        QTest::addColumn<QString>("write");
        QTest::addColumn<int>("rows"); // after it, of Ana's and a nameless card
        QTest::newRow("add") << "add" << 3;
        QTest::newRow("update") << "update" << 2;
        QTest::newRow("remove") << "remove" << 1;
        QTest::newRow("removeUnnamed") << "removeUnnamed" << 1;
    }
    void eachWriteIsToldWithItsKey()
    {
        QFETCH(QString, write);
        QFETCH(int, rows);
        Card ana = card(QStringLiteral("Ana"));
        ana.key = store().add(ana).key();
        // A card another program left without a name.
        auto telefonos = m_agenda->cursor(Schema::Telefonos::Table);
        QVERIFY(telefonos->AddNew() && telefonos->SetField(Schema::Telefonos::Tel1, QStringLiteral("1")) &&
                telefonos->Update());
        QSignalSpy told(&m_agenda->diary(), &Diary::changed);
        const StoreResult result = write == u"add" ? store().add(card(QStringLiteral("Bea")))
            : write == u"update"                   ? store().update(ana)
            : write == u"remove"                   ? store().remove(ana.key)
                                                   : store().removeUnnamed();
        QVERIFY2(result.isOk(), qPrintable(result.why()));
        QCOMPARE(told.count(), 1);
        const DiaryChange expected{DiaryChange::Kind::Cards, write == u"removeUnnamed" ? -1 : result.key()};
        QCOMPARE(told.at(0).at(0).value<DiaryChange>(), expected);
        QCOMPARE(m_agenda->cursor(Schema::Telefonos::Table)->RecordCount(), rows);
    }

    void writeReachesItsCardWhereverTheBookCursorStands()
    {
        Card ana = card(QStringLiteral("Ana"));
        ana.key = store().add(ana).key();
        const qint64 bea = store().add(card(QStringLiteral("Bea"), QStringLiteral("922222222"))).key();
        // The last search left the phone book's cursor on Bea.
        QVERIFY(m_agenda->diary().DataTelefonos.Refresh());
        QVERIFY(m_agenda->diary().DataTelefonos.FindFirst(
            Criterion::textEquals(Schema::Telefonos::Nombre, QStringLiteral("Bea"))));
        ana.fields[Card::Phone2] = QStringLiteral("933333333");
        ana.fields[Card::Country] = QString(); // kept as empty text, not Null
        QVERIFY(store().update(ana));
        QCOMPARE(*store().card(ana.key), ana);
        Card untouched = card(QStringLiteral("Bea"), QStringLiteral("922222222"));
        untouched.key = bea;
        QCOMPARE(*store().card(bea), untouched);
        QVERIFY(!m_agenda->cursor(Schema::Telefonos::Table)->Field(Schema::Telefonos::Pais).isNull());
    }
};

QTEST_GUILESS_MAIN(TestCardStore)
#include "tst_cardstore.moc"
