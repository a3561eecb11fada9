#include "data/DateText.h"
#include "data/store/Criterion.h"
#include "data/store/TextMatch.h"
#include "support/TestAgenda.h"

#include <QtTest>
#include <sqlite3.h>

class TestAccentSearch : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_agenda = std::make_unique<TestAgenda>(); }
    void cleanup() { m_agenda.reset(); }

    void ignoresCaseAndVowelAccents_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        QTest::newRow("acute") << "Ana García"
                               << "garcia" << true;
        QTest::newRow("capitals") << "José"
                                  << "JOSE" << true;
        QTest::newRow("diaeresis") << "Müller"
                                   << "muller" << true;
        QTest::newRow("accented needle") << "Reunion"
                                         << "REUNIÓN" << true;
        QTest::newRow("eñe stays a letter") << "Peña"
                                            << "pena" << false;
        QTest::newRow("eñe finds eñe") << "PEÑA"
                                       << "peña" << true;
        QTest::newRow("n does not find eñe") << "Pena"
                                             << "peña" << false;
        QTest::newRow("cedilla is no vowel accent") << "Façade"
                                                    << "facade" << false;
        QTest::newRow("decomposed accent") << QString::fromUtf8("Jose\u0301") << "josé" << true;
        QTest::newRow("decomposed eñe") << QString::fromUtf8("Pen\u0303a") << "peña" << true;
        QTest::newRow("decomposed eñe is not n") << QString::fromUtf8("Pen\u0303a") << "pena" << false;
        QTest::newRow("apostrophe") << "O'Brien"
                                    << "o'brien" << true;
        QTest::newRow("apostrophe alone") << "OBrien"
                                          << "O'Brien" << false;
        QTest::newRow("percent") << "1000 seguro"
                                 << "0% s" << false;
        QTest::newRow("underscore") << "ab"
                                    << "_" << false;
        QTest::newRow("star") << "casa"
                              << "c*a" << false;
        QTest::newRow("question mark") << "casa"
                                       << "cas?" << false;
        QTest::newRow("bracket") << "a"
                                 << "[a]" << false;
        QTest::newRow("bracket matches itself") << "[Á]"
                                                << "[a]" << true;
        QTest::newRow("full folding") << "Straße"
                                      << "STRASSE" << true;
        QTest::newRow("circled letter") << "Ⓐ"
                                        << "ⓐ" << true;
    }

    void ignoresCaseAndVowelAccents()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, found);
        auto cards = m_agenda->cursor(QStringLiteral("telefonos"));
        for (const QString &name : {QStringLiteral("alguien más"), stored}) {
            cards->AddNew();
            cards->SetField(QStringLiteral("NOMBRE"), name);
            QVERIFY(cards->Update());
        }
        QCOMPARE(cards->FindFirst(Criterion::containsIgnoringAccents({QStringLiteral("nombre")}, typed)), found);
        if (found)
            QCOMPARE(cards->Text(QStringLiteral("NOMBRE")), stored);
        QCOMPARE(TextMatch::findIgnoringAccents(stored, typed).found(), found);
    }

    void searchesEveryColumnGiven()
    {
        auto cards = m_agenda->cursor(QStringLiteral("telefonos"));
        for (const char *column : {"FAX", "TEL3", "TEL1"}) {
            cards->AddNew();
            cards->SetField(QStringLiteral("NOMBRE"), QString::fromLatin1(column));
            cards->SetField(QString::fromLatin1(column), QStringLiteral("915551234"));
            QVERIFY(cards->Update());
        }
        const Criterion phones = Criterion::containsIgnoringAccents(
            {QStringLiteral("TEL1"), QStringLiteral("TEL2"), QStringLiteral("TEL3")}, QStringLiteral("5551"));
        QStringList found;
        for (bool ok = cards->FindFirst(phones); ok; ok = cards->FindNext(phones))
            found << cards->Text(QStringLiteral("NOMBRE"));
        QCOMPARE(found, (QStringList{"TEL3", "TEL1"}));

        m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("Médico"));
        m_agenda->addEntry(QDate(2024, 4, 4), QStringLiteral("10:00"), QStringLiteral("Oficina"),
                           QStringLiteral("Reunión de área"));
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QVERIFY(notas->FindFirst(Criterion::entriesMentioning(QStringLiteral("AREA"))));
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("Oficina"));
        QVERIFY(!notas->FindFirst(Criterion::containsIgnoringAccents({QStringLiteral("nada")}, QStringLiteral("x"))));
    }

    // The diary's search runs over the folded texts held in memory: every write, by this program
    // or by another, shows in the next search.
    void searchSeesEveryWrite()
    {
        const QDate day(2024, 4, 3);
        const qint64 first = m_agenda->addEntry(day, QStringLiteral("09:00"), QStringLiteral("Cita con García"));
        m_agenda->addEntry(day, QStringLiteral("10:00"), QStringLiteral("Banco"));
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        const Criterion garcia = Criterion::entriesMentioning(QStringLiteral("garcia"));
        auto found = [&]() -> QString {
            return notas->FindFirst(garcia) ? notas->Text(QStringLiteral("texto")) : QStringLiteral("-");
        };
        QCOMPARE(found(), QStringLiteral("Cita con García"));

        auto write = [&](const QString &text) {
            QVERIFY(notas->Edit());
            QVERIFY(notas->SetField(QStringLiteral("texto"), text));
            QVERIFY(notas->Update());
        };
        QVERIFY(notas->MoveFirst());
        write(QStringLiteral("Cita"));
        QCOMPARE(found(), QStringLiteral("-"));
        QVERIFY(notas->MoveFirst());
        write(QStringLiteral("Cita larga con el señor Garcia y su familia"));
        QCOMPARE(found(), QStringLiteral("Cita larga con el señor Garcia y su familia"));
        QVERIFY(notas->Delete());
        QCOMPARE(found(), QStringLiteral("-"));

        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(m_agenda->databaseFile().toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "INSERT INTO notas (texto) VALUES ('GARCÍA, fuera del programa')", nullptr,
                              nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(other);
        QCOMPARE(found(), QStringLiteral("GARCÍA, fuera del programa"));
        QVERIFY(notas->AddNew());
        QVERIFY(notas->SetField(QStringLiteral("nota"), QStringLiteral("ver a garcía")));
        QVERIFY(notas->Update());
        QVERIFY(notas->FindLast(garcia));
        QVERIFY(notas->Text(QStringLiteral("texto")).isEmpty());
        QVERIFY(notas->FindPrevious(garcia));
        QVERIFY(notas->currentKey() > first);
        QVERIFY(!notas->FindPrevious(garcia));
    }

    void stretchIsInTheOriginalText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("selected");
        QTest::newRow("accented") << "Cita con Ana García."
                                  << "garcia"
                                  << "García";
        QTest::newRow("inside a word") << "Reunión"
                                       << "UNION"
                                       << "unión";
        QTest::newRow("decomposed accent kept")
            << QString::fromUtf8("Con Jose\u0301 y Ana") << "jose" << QString::fromUtf8("Jose\u0301");
        QTest::newRow("after a surrogate pair") << QString::fromUtf8("\U0001F600 Müller") << "muller"
                                                << "Müller";
        QTest::newRow("half of a folded pair") << "Straße"
                                               << "s"
                                               << "S";
        QTest::newRow("inside an expansion") << "Maße"
                                             << "se"
                                             << "ße";
    }

    void stretchIsInTheOriginalText()
    {
        QFETCH(QString, text);
        QFETCH(QString, typed);
        QFETCH(QString, selected);
        const TextMatch::Stretch stretch = TextMatch::findIgnoringAccents(text, typed);
        QVERIFY(stretch.found());
        QCOMPARE(text.mid(stretch.position, stretch.length), selected);
    }

private:
    std::unique_ptr<TestAgenda> m_agenda;
};

QTEST_GUILESS_MAIN(TestAccentSearch)
#include "tst_accentsearch.moc"
