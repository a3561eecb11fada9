#include "data/DateText.h"
#include "data/store/Criterion.h"
#include "data/store/Database.h"
#include "data/store/RecordCursor.h"
#include "support/TestAgenda.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestRecordCursor : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_agenda = std::make_unique<TestAgenda>(); }
    void cleanup() { m_agenda.reset(); }

    void createsTheFiveTablesWhenMissing()
    {
        QVERIFY(!QFile::exists(m_agenda->databaseFile()));
        for (const char *table : {"NOTAS", "dias", "festivosfijos", "Tareas", "telefonos"}) {
            auto c = m_agenda->cursor(QString::fromLatin1(table));
            QVERIFY2(c->isOpen(), qPrintable(c->lastError()));
            QCOMPARE(c->RecordCount(), 0);
            QVERIFY(c->Eof());
            QCOMPARE(c->AbsolutePosition(), -1);
        }
        QVERIFY(QFile::exists(m_agenda->databaseFile()));
    }

    void cursorOrderIsInsertionOrder()
    {
        const QDate day(2024, 4, 3);
        const qint64 first = m_agenda->addEntry(day, QStringLiteral("08:00"), QStringLiteral("b"));
        const qint64 second = m_agenda->addEntry(day, QStringLiteral("07:15"), QStringLiteral("a"));
        QVERIFY(second > first);
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QCOMPARE(notas->Number(QStringLiteral("NUMERO")), first);
        QCOMPARE(notas->AbsolutePosition(), 0);
        QVERIFY(notas->MoveNext());
        QCOMPARE(notas->Text(QStringLiteral("hora")), QStringLiteral("07:15"));
        QCOMPARE(notas->AbsolutePosition(), 1);
        QVERIFY(notas->MoveNext());
        QVERIFY(notas->Eof());
        QCOMPARE(notas->AbsolutePosition(), -1);
    }

    void failedFindLeavesTheCurrentRecord()
    {
        const QDate day(2024, 4, 3);
        m_agenda->addEntry(day, QStringLiteral("09:00"), QStringLiteral("dentista"));
        m_agenda->addEntry(day.addDays(1), QStringLiteral("10:00"), QStringLiteral("banco"));
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QVERIFY(notas->FindFirst(Criterion::textEquals(QStringLiteral("fecha"), DateText::fromDate(day.addDays(1)))));
        QVERIFY(!notas->NoMatch());
        QVERIFY(!notas->FindFirst(Criterion::textEquals(QStringLiteral("fecha"), QStringLiteral("01/01/1999"))));
        QVERIFY(notas->NoMatch());
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("banco"));
        QVERIFY(!notas->FindNext(Criterion::textEquals(QStringLiteral("fecha"), DateText::fromDate(day))));
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("banco"));
    }

    void findNextAndPreviousWalkInCursorOrder()
    {
        const QDate day(2024, 4, 3);
        for (const char *text : {"uno", "otro día", "dos", "tres"})
            m_agenda->addEntry(qstrcmp(text, "otro día") == 0 ? day.addDays(1) : day, QStringLiteral("10:00"),
                               QString::fromUtf8(text));
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        const Criterion sameDay = Criterion::textEquals(QStringLiteral("fecha"), DateText::fromDate(day));
        QStringList found;
        for (bool ok = notas->FindFirst(sameDay); ok; ok = notas->FindNext(sameDay))
            found << notas->Text(QStringLiteral("texto"));
        QCOMPARE(found, (QStringList{"uno", "dos", "tres"}));
        QVERIFY(notas->NoMatch());
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("tres"));
        QVERIFY(notas->FindPrevious(sameDay));
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("dos"));
        QVERIFY(notas->FindLast(Criterion::entriesContaining(QStringLiteral("O"))));
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("dos"));
    }

    void appendedRecordIsLastButNotCurrent()
    {
        m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("primera"));
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QVERIFY(notas->AddNew());
        QVERIFY(notas->SetField(QStringLiteral("texto"), QStringLiteral("nueva")));
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("nueva")); // the record being written
        QVERIFY2(notas->Update(), qPrintable(notas->lastError()));
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("primera"));
        QVERIFY(notas->MoveLast());
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("nueva"));
        QCOMPARE(notas->Number(QStringLiteral("numero")), notas->lastAddedKey());
    }

    void refreshSeesWhatOtherCursorsWrote()
    {
        auto reader = m_agenda->cursor(QStringLiteral("dias"));
        QCOMPARE(reader->RecordCount(), 0);
        auto writer = m_agenda->cursor(QStringLiteral("DIAS"));
        QVERIFY(writer->AddNew());
        QVERIFY(writer->SetField(QStringLiteral("fecha"), QDate(2024, 3, 29)));
        QVERIFY(writer->SetField(QStringLiteral("esfestivo"), true));
        QVERIFY(writer->Update());
        QVERIFY(reader->Refresh());
        QCOMPARE(reader->Text(QStringLiteral("fecha")), QStringLiteral("29/03/2024"));
        QCOMPARE(reader->Bool(QStringLiteral("EsFestivo")), true);
        QVERIFY(reader->Field(QStringLiteral("texto")).isNull());
        QCOMPARE(reader->Text(QStringLiteral("texto")), QString());

        QVERIFY(writer->MoveFirst());
        QVERIFY(writer->Edit());
        QVERIFY(writer->SetField(QStringLiteral("texto"), QStringLiteral("Viernes")));
        QVERIFY(writer->Update());
        QVERIFY(reader->Refresh());
        QCOMPARE(reader->Text(QStringLiteral("texto")), QStringLiteral("Viernes"));
    }

    void twoRowsForOneDateUseTheFirst()
    {
        auto dias = m_agenda->cursor(QStringLiteral("dias"));
        for (const char *text : {"primera", "segunda"}) {
            dias->AddNew();
            dias->SetField(QStringLiteral("fecha"), QStringLiteral("01/05/2024"));
            dias->SetField(QStringLiteral("texto"), QString::fromLatin1(text));
            QVERIFY(dias->Update());
        }
        QVERIFY(dias->FindFirst(Criterion::textEquals(QStringLiteral("fecha"), QStringLiteral("01/05/2024"))));
        QCOMPARE(dias->Text(QStringLiteral("texto")), QStringLiteral("primera"));
    }

    void deleteThenMoveNext()
    {
        for (const char *text : {"a", "b", "c"})
            m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QString::fromLatin1(text));
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QVERIFY(notas->MoveNext());
        QVERIFY(notas->Delete());
        QVERIFY(!notas->hasCurrent());
        QVERIFY(notas->Field(QStringLiteral("texto")).isNull());
        QVERIFY(!notas->Edit());
        QVERIFY(notas->MoveNext());
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("c"));
        QCOMPARE(notas->RecordCount(), 2);
        QVERIFY(notas->MoveFirst());
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("a"));
    }

    void readAllGivesEveryRowAsFieldReadsIt()
    {
        const qint64 first = m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("a"));
        m_agenda->addEntry(QDate(2024, 4, 4), QStringLiteral("10:00"), QStringLiteral("b"), QStringLiteral("nota"));
        auto notas = m_agenda->cursor(QStringLiteral("NOTAS"));
        QList<QVariantList> rows;
        QVERIFY(notas->ReadAll({QStringLiteral("TEXTO"), QStringLiteral("nota")},
                               [&rows](const QVariantList &row) { rows << row; }));
        QCOMPARE(
            rows,
            (QList<QVariantList>{{QStringLiteral("a"), QVariant()}, {QStringLiteral("b"), QStringLiteral("nota")}}));
        QCOMPARE(notas->currentKey(), first);
        QVERIFY(!notas->ReadAll({QStringLiteral("nada")}, [](const QVariantList &) {}));
    }

    void numbersAreNeverReused()
    {
        const qint64 first = m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("a"));
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QVERIFY(notas->Delete());
        const qint64 next = m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("b"));
        QVERIFY(next > first);
    }

    void textCriteriaMatchOnlyThemselves_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("looked");
        QTest::addColumn<bool>("equal");
        QTest::addColumn<bool>("contained");
        QTest::newRow("accented capitals") << "ÁNGEL"
                                           << "ángel" << true << true;
        QTest::newRow("accented first capital") << "Ángel"
                                                << "ÁnGeL" << true << true;
        QTest::newRow("eñe") << "España"
                             << "ESPAÑA" << true << true;
        QTest::newRow("accent is not optional") << "ángel"
                                                << "angel" << false << false;
        QTest::newRow("apostrophe") << "O'Brien"
                                    << "o'brien" << true << true;
        QTest::newRow("apostrophe alone") << "OBrien"
                                          << "O'Brien" << false << false;
        QTest::newRow("percent") << "100% seguro"
                                 << "0% s" << false << true;
        QTest::newRow("percent is no wildcard") << "1000 seguro"
                                                << "0% s" << false << false;
        QTest::newRow("underscore is no wildcard") << "ab"
                                                   << "_" << false << false;
        QTest::newRow("star is no wildcard") << "casa"
                                             << "c*a" << false << false;
        QTest::newRow("star matches a star") << "c*a"
                                             << "C*A" << true << true;
        QTest::newRow("question mark") << "casa"
                                       << "cas?" << false << false;
        QTest::newRow("brackets") << "[a]"
                                  << "[A]" << true << true;
        QTest::newRow("bracket is no class") << "a"
                                             << "[a]" << false << false;
        QTest::newRow("hash is no digit") << "tel 5"
                                          << "tel #" << false << false;
        QTest::newRow("hash") << "nº #5"
                              << "#5" << false << true;
        QTest::newRow("substring in accented text") << "Reunión con Íñigo"
                                                    << "ÍÑIGO" << false << true;
        QTest::newRow("ascii needle in accented text") << "Reunión con Luis"
                                                       << "LUIS" << false << true;
        QTest::newRow("accented needle, ascii part absent") << "Reunión con Luis"
                                                            << "ÓN CON ANA" << false << false;
        QTest::newRow("accented needle found") << "Reunión con Luis"
                                               << "UNIÓN CON" << false << true;
        QTest::newRow("kelvin sign folds to k") << QString::fromUtf8("5 \u212A de frío") << "5 k" << false << true;
        QTest::newRow("circled letter") << "Ⓐ"
                                        << "ⓐ" << true << true;
        QTest::newRow("roman numeral") << "Capítulo Ⅻ"
                                       << "capítulo ⅻ" << true << true;
        QTest::newRow("sharp s folds to ss") << "Straße"
                                             << "STRASSE" << true << true;
        QTest::newRow("long s folds to s") << QString::fromUtf8("Cla\u017Fe") << "clase" << true << true;
    }

    void textCriteriaMatchOnlyThemselves()
    {
        QFETCH(QString, stored);
        QFETCH(QString, looked);
        QFETCH(bool, equal);
        QFETCH(bool, contained);
        auto cards = m_agenda->cursor(QStringLiteral("telefonos"));
        cards->AddNew();
        cards->SetField(QStringLiteral("NOMBRE"), QStringLiteral("alguien más"));
        QVERIFY(cards->Update());
        cards->AddNew();
        cards->SetField(QStringLiteral("NOMBRE"), stored);
        QVERIFY(cards->Update());
        QCOMPARE(cards->FindFirst(Criterion::textEquals(QStringLiteral("nombre"), looked)), equal);
        if (equal)
            QCOMPARE(cards->Text(QStringLiteral("nombre")), stored);
        QCOMPARE(cards->FindFirst(Criterion::contains(QStringLiteral("nombre"), looked)), contained);
        if (contained)
            QCOMPARE(cards->Text(QStringLiteral("nombre")), stored);
    }

    void searchLooksInTextAndNote()
    {
        m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("Médico"),
                           QStringLiteral("traer análisis"));
        m_agenda->addEntry(QDate(2024, 4, 4), QStringLiteral("09:00"), QStringLiteral("Banco"));
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QVERIFY(notas->FindFirst(Criterion::entriesContaining(QStringLiteral("ANÁLISIS"))));
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("Médico"));
        QVERIFY(notas->FindFirst(Criterion::entriesContaining(QStringLiteral("banco"))));
        QVERIFY(!notas->FindFirst(Criterion::entriesContaining(QStringLiteral("nada de esto"))));
        // An empty value matches every record with text, as a pattern of two stars would.
        QVERIFY(notas->FindLast(Criterion::entriesContaining(QString())));
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("Banco"));
    }

    void alarmCriteria()
    {
        const QDate today(2024, 4, 3);
        m_agenda->addEntry(today, QStringLiteral("09:00"), QStringLiteral("sin alarma"));
        m_agenda->addEntry(today.addDays(1), QStringLiteral("09:00"), QStringLiteral("mañana"), {},
                           QStringLiteral("10:30"));
        m_agenda->addEntry(today, QStringLiteral("09:00"), QStringLiteral("hoy"), {}, QStringLiteral("10:30"));
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QVERIFY(notas->FindFirst(Criterion::entryAlarm(today, QStringLiteral("10:30"))));
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("hoy"));
        QVERIFY(!notas->FindFirst(Criterion::entryAlarm(today, QStringLiteral("10:31"))));

        auto tareas = m_agenda->cursor(QStringLiteral("tareas"));
        struct Task
        {
            const char *text;
            bool done;
            const char *time;
        };
        for (const Task &task :
             {Task{"terminada", true, "10:30"}, Task{"sin hora", false, ""}, Task{"pendiente", false, "10:30"}}) {
            tareas->AddNew();
            tareas->SetField(QStringLiteral("tarea"), QString::fromLatin1(task.text));
            tareas->SetField(QStringLiteral("terminada"), task.done);
            tareas->SetField(QStringLiteral("fechaalarma"), today);
            tareas->SetField(QStringLiteral("horaalarma"), QString::fromLatin1(task.time));
            QVERIFY2(tareas->Update(), qPrintable(tareas->lastError()));
        }
        QVERIFY(tareas->FindFirst(Criterion::taskAlarm(today, QStringLiteral("10:30"))));
        QCOMPARE(tareas->Text(QStringLiteral("Tarea")), QStringLiteral("pendiente"));
        QCOMPARE(tareas->Date(QStringLiteral("fechaalarma")), today);
        QVERIFY(!tareas->FindNext(Criterion::taskAlarm(today, QStringLiteral("10:30"))));
        QVERIFY(!tareas->FindFirst(Criterion::taskAlarm(today.addDays(1), QStringLiteral("10:30"))));
    }

    void fieldsByPositionFollowTableOrder()
    {
        auto cards = m_agenda->cursor(QStringLiteral("telefonos"));
        QCOMPARE(cards->FieldCount(), 12);
        QVERIFY(cards->AddNew());
        QVERIFY(cards->SetField(0, QStringLiteral("Ana")));
        QVERIFY(cards->SetField(11, QStringLiteral("España")));
        QVERIFY(cards->Update());
        QVERIFY(cards->MoveFirst());
        QCOMPARE(cards->Text(QStringLiteral("pais")), QStringLiteral("España"));
        QCOMPARE(cards->Field(0).toString(), QStringLiteral("Ana"));
        QVERIFY(cards->Field(1).isNull());
    }

    void failedWritesAreReported()
    {
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QVERIFY(!notas->Update()); // nothing being written
        QVERIFY(!notas->lastError().isEmpty());
        QVERIFY(notas->AddNew());
        QVERIFY(!notas->SetField(QStringLiteral("hora"), QStringLiteral("10:00:00")));
        QVERIFY(!notas->SetField(QStringLiteral("numero"), 5));
        QVERIFY(!notas->SetField(QStringLiteral("nada"), 5));
        QVERIFY(!notas->Edit()); // an empty table has no current record

        RecordCursor closed;
        closed.DatabaseName = m_agenda->folder() + QStringLiteral("/no/such/folder/quillomar.mdb");
        closed.RecordSource = QStringLiteral("notas");
        QVERIFY(!closed.Refresh());
        QVERIFY(closed.lastError().contains(QStringLiteral("no existe")));
        QVERIFY(!closed.AddNew());
        QVERIFY(!closed.FindFirst(Criterion::numberEquals(QStringLiteral("numero"), 1)));
        QVERIFY(closed.NoMatch());
    }

    void notAnAgendaIsRefused()
    {
        QFile garbage(m_agenda->databaseFile());
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();
        QString error;
        QVERIFY(!Database::open(m_agenda->databaseFile(), &error));
        QVERIFY(!error.isEmpty());
    }

    void numeroCriterion()
    {
        m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("a"));
        const qint64 b = m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("b"));
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QVERIFY(notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), b)));
        QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("b"));
    }

    // A day's finds read its rows ahead; what they hand back must still be every row in order,
    // with its own fields, and every write made meanwhile through any cursor.
    void findsByDateSeeEveryRowAndEveryWrite()
    {
        const QDate day(2024, 4, 3);
        const QString tag = DateText::fromDate(day);
        const int many = 150; // more than one read ahead holds
        for (int i = 0; i < many; ++i) {
            m_agenda->addEntry(day, QStringLiteral("09:00"), QStringLiteral("e%1").arg(i),
                               i % 2 ? QString() : QStringLiteral("nota %1").arg(i));
            m_agenda->addEntry(day.addDays(1), QStringLiteral("10:00"), QStringLiteral("otro"));
        }
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        auto other = m_agenda->cursor(QStringLiteral("notas"));
        const Criterion sameDay = Criterion::textEquals(QStringLiteral("fecha"), tag);
        QStringList seen;
        for (bool found = notas->FindFirst(sameDay); found; found = notas->FindNext(sameDay)) {
            seen << notas->Text(QStringLiteral("texto"));
            if (const int i = seen.last().mid(1).toInt(); seen.last().startsWith(u'e'))
                QCOMPARE(notas->Text(QStringLiteral("nota")), i % 2 ? QString() : QStringLiteral("nota %1").arg(i));
            if (seen.size() == 3) {
                // Another cursor edits the current row, deletes a later one and adds one more.
                QVERIFY(other->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), notas->currentKey())));
                QVERIFY(other->Edit() && other->SetField(QStringLiteral("texto"), QStringLiteral("cambiado")) &&
                        other->Update());
                QCOMPARE(notas->Text(QStringLiteral("texto")), QStringLiteral("cambiado"));
                QVERIFY(other->FindFirst(Criterion::textEquals(QStringLiteral("texto"), QStringLiteral("e5"))));
                QVERIFY(other->Delete());
                m_agenda->addEntry(day, QStringLiteral("23:00"), QStringLiteral("nueva"));
            }
        }
        QCOMPARE(seen.size(), many); // one deleted, one added
        QCOMPARE(seen.at(4), QStringLiteral("e4"));
        QCOMPARE(seen.at(5), QStringLiteral("e6"));
        QCOMPARE(seen.last(), QStringLiteral("nueva"));
        QCOMPARE(seen.at(many - 2), QStringLiteral("e%1").arg(many - 1));
    }

private:
    std::unique_ptr<TestAgenda> m_agenda;
};

QTEST_GUILESS_MAIN(TestRecordCursor)
#include "tst_recordcursor.moc"
