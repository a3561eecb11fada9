#include "data/Criterion.h"
#include "data/Database.h"
#include "data/DateText.h"
#include "data/RecordCursor.h"
#include "support/TestAgenda.h"

#include <QElapsedTimer>
#include <QFile>
#include <QtTest>
#include <sqlite3.h>

class TestStoreSafety : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_agenda = std::make_unique<TestAgenda>(); }
    void cleanup() { m_agenda.reset(); }

    void moveOrFindCancelsAPendingWrite_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("shown");
        QTest::newRow("FindFirst") << "FindFirst"
                                   << "dos";
        QTest::newRow("failed FindFirst") << "FindNada"
                                          << "uno";
        QTest::newRow("FindNext") << "FindNext"
                                  << "dos";
        QTest::newRow("MoveNext") << "MoveNext"
                                  << "dos";
        QTest::newRow("MoveLast") << "MoveLast"
                                  << "dos";
        QTest::newRow("MoveFirst") << "MoveFirst"
                                   << "uno";
    }

    void moveOrFindCancelsAPendingWrite()
    {
        QFETCH(QString, operation);
        QFETCH(QString, shown);
        m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("uno"));
        m_agenda->addEntry(QDate(2024, 4, 4), QStringLiteral("09:00"), QStringLiteral("dos"));
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        const Criterion second = Criterion::textEquals(QStringLiteral("fecha"), QStringLiteral("04/04/2024"));
        for (const bool adding : {false, true}) {
            QVERIFY(notas->MoveFirst());
            QVERIFY(adding ? notas->AddNew() : notas->Edit());
            QVERIFY(notas->SetField(QStringLiteral("texto"), QStringLiteral("sin guardar")));
            if (operation == u"FindFirst")
                notas->FindFirst(second);
            else if (operation == u"FindNada")
                notas->FindFirst(Criterion::textEquals(QStringLiteral("fecha"), QStringLiteral("01/01/1999")));
            else if (operation == u"FindNext")
                notas->FindNext(second);
            else if (operation == u"MoveNext")
                notas->MoveNext();
            else if (operation == u"MoveLast")
                notas->MoveLast();
            else
                notas->MoveFirst();
            QVERIFY(!notas->editing());
            QCOMPARE(notas->Text(QStringLiteral("texto")), shown);
            QVERIFY(!notas->Update());
        }
        QCOMPARE(notas->RecordCount(), 2);
    }

    void lockedFileFailsQuickly()
    {
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(m_agenda->databaseFile().toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(notas->AddNew());
        QVERIFY(notas->SetField(QStringLiteral("texto"), QStringLiteral("bloqueada")));
        const bool written = notas->Update();
        const qint64 waited = timer.elapsed();
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QVERIFY(!written);
        QVERIFY2(waited < 500, qPrintable(QString::number(waited)));
    }

    void missingColumnsAreRefusedByName()
    {
        m_agenda->cursor(QStringLiteral("notas")); // creates the file, then lets it go
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(m_agenda->databaseFile().toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other,
                              "ALTER TABLE notas DROP COLUMN hora; ALTER TABLE notas DROP COLUMN texto;"
                              "ALTER TABLE telefonos DROP COLUMN FAX",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(other);
        auto dias = m_agenda->cursor(QStringLiteral("dias"));
        QVERIFY(!dias->isOpen());
        for (const char *missing : {"hora, texto de la tabla notas", "FAX de la tabla telefonos"})
            QVERIFY2(dias->lastError().contains(QString::fromLatin1(missing)), qPrintable(dias->lastError()));
    }

    void damagedTableClosesTheCursor()
    {
        m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("uno"));
        int page = 0;
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(m_agenda->databaseFile().toUtf8().constData(), &other), SQLITE_OK);
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(other, "SELECT rootpage FROM sqlite_schema WHERE name='notas'", -1, &statement, nullptr);
        QCOMPARE(sqlite3_step(statement), SQLITE_ROW);
        page = sqlite3_column_int(statement, 0);
        sqlite3_finalize(statement);
        sqlite3_close(other);
        QFile file(m_agenda->databaseFile());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(qint64(page - 1) * 4096));
        file.write(QByteArray(4096, '\xff'));
        file.close();

        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QVERIFY(!notas->isOpen());
        QVERIFY(!notas->lastError().isEmpty());
        QVERIFY(!notas->AddNew());
        QVERIFY(!notas->FindFirst(Criterion::entriesMentioning(QStringLiteral("uno"))));
        QVERIFY(!notas->Field(QStringLiteral("texto")).isValid());
        QCOMPARE(notas->RecordCount(), 0);

        // Another folder's agenda opens again.
        notas->DatabaseName = m_other.filePath(QStringLiteral("quillomar.mdb"));
        QVERIFY(notas->Refresh());
        QVERIFY(notas->isOpen());
    }

    void commitsSurviveAPowerLoss()
    {
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        QString error;
        auto db = Database::open(m_agenda->databaseFile(), &error);
        QCOMPARE(db->scalar(QStringLiteral("PRAGMA synchronous"), {}).toInt(), 3); // EXTRA
    }

private:
    std::unique_ptr<TestAgenda> m_agenda;
    QTemporaryDir m_other;
};

QTEST_GUILESS_MAIN(TestStoreSafety)
#include "tst_storesafety.moc"
