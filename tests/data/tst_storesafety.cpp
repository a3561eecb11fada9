#include "data/DateText.h"
#include "data/store/Criterion.h"
#include "data/store/Database.h"
#include "data/store/RecordCursor.h"
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

    // Why a write failed reaches the user (as "Motivo: …") in the user's words, not SQLite's.
    void failedWritesSayWhyInTheUsersWords_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("said");
        QTest::newRow("locked") << SQLITE_BUSY << "otro programa";
        QTest::newRow("disk full") << SQLITE_FULL << "el disco está lleno";
    }

    void failedWritesSayWhyInTheUsersWords()
    {
        QFETCH(int, code);
        QFETCH(QString, said);
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(m_agenda->databaseFile().toUtf8().constData(), &other), SQLITE_OK);
        QString error;
        if (code == SQLITE_BUSY)
            QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        else // the file may grow no more than it is
            QVERIFY(Database::open(m_agenda->databaseFile(), &error)
                        ->exec(QStringLiteral("PRAGMA max_page_count = 1"), {}));
        QVERIFY(notas->AddNew());
        QVERIFY(notas->SetField(QStringLiteral("nota"), QString(100000, u'x')));
        QVERIFY(!notas->Update());
        sqlite3_close(other);
        QVERIFY2(notas->lastError().contains(said), qPrintable(notas->lastError()));
        QVERIFY(!notas->lastError().contains(QLatin1String(sqlite3_errstr(code))));
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
        TestAgenda::damageTable(m_agenda->databaseFile(), QStringLiteral("notas"));

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
