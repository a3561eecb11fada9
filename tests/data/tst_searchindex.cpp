#include "data/store/Criterion.h"
#include "data/store/Database.h"
#include "data/store/SearchIndex.h"
#include "data/store/TextMatch.h"
#include "support/TestAgenda.h"

#include <QtTest>
#include <sqlite3.h>

// The diary's search finds the same entries through its index as by reading the agenda.
class TestSearchIndex : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_notas = m_agenda->cursor(QStringLiteral("notas")); // keeps the agenda, and its index, open
        m_db = Database::open(m_agenda->databaseFile(), nullptr);
    }
    void cleanup()
    {
        m_db.reset();
        m_notas.reset();
        m_agenda.reset();
    }

    void findsWhatTheRuleFinds_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("nota");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        QTest::newRow("accent") << "Cita con García"
                                << ""
                                << "garcia" << true;
        QTest::newRow("accented needle") << "reunion"
                                         << ""
                                         << "REUNIÓN" << true;
        QTest::newRow("eñe stays a letter") << "Peña"
                                            << ""
                                            << "pena" << false;
        QTest::newRow("eñe finds eñe") << "PEÑA"
                                       << ""
                                       << "peña" << true;
        QTest::newRow("decomposed eñe") << QString::fromUtf8("Pen\u0303a") << ""
                                        << "PEÑA" << true;
        QTest::newRow("full folding") << "Straße"
                                      << ""
                                      << "strasse" << true;
        QTest::newRow("in the note") << "Banco"
                                     << "Llevar el DNÍ"
                                     << "dni" << true;
        QTest::newRow("not across texto and nota") << "abc"
                                                   << "def"
                                                   << "cde" << false;
        QTest::newRow("star is literal") << "casa"
                                         << ""
                                         << "c*a" << false;
        QTest::newRow("star finds itself") << "5 * 3"
                                           << ""
                                           << "5 *" << true;
        QTest::newRow("percent and underscore") << "100 euros"
                                                << ""
                                                << "0%_" << false;
        QTest::newRow("quotes") << "dijo \"sí\" ayer"
                                << ""
                                << "\"si\"" << true;
        QTest::newRow("one character") << "Éxito"
                                       << ""
                                       << "É" << true;
        QTest::newRow("two characters absent") << "Éxito"
                                               << ""
                                               << "xz" << false;
        QTest::newRow("long text") << "x"
                                   << "Mañana a las diez, reunión de vecinos en el portal"
                                   << "REUNION DE VECINOS EN EL" << true;
        QTest::newRow("long text, one letter off") << "x"
                                                   << "reunión de vecinos en el portal"
                                                   << "reunion de vecinas" << false;
    }

    // Without the index, then with it (asked directly, so that it cannot decline unseen), then
    // after an edit, after another program's write and with a damaged cache.
    void findsWhatTheRuleFinds()
    {
        QFETCH(QString, texto);
        QFETCH(QString, nota);
        QFETCH(QString, typed);
        QFETCH(bool, found);
        const QDate day(2024, 4, 3);
        m_agenda->addEntry(day, QStringLiteral("08:00"), QStringLiteral("1111"));
        const qint64 key = m_agenda->addEntry(day, QStringLiteral("09:00"), texto, nota);
        m_agenda->addEntry(day, QStringLiteral("10:00"), QStringLiteral("2222"));
        const qint64 expected = found ? key : -1;
        const std::string folded = TextMatch::foldAccents(typed).toStdString();
        const Criterion criterion = Criterion::entriesMentioning(typed);
        auto byCursor = [&](bool last) -> qint64 {
            const bool hit = last ? m_notas->FindLast(criterion) : m_notas->FindFirst(criterion);
            return hit ? m_notas->currentKey() : -1;
        };
        QCOMPARE(byCursor(false), expected);

        m_db->startSearchIndex(m_agenda->context.paths.cacheFolder);
        SearchIndex *index = m_db->searchIndex();
        QTRY_VERIFY(index->ready());
        auto byIndex = [&](qint64 from, bool descending) {
            const std::optional<qint64> answer = index->find(folded, from, descending);
            return answer ? *answer : -2;
        };
        QCOMPARE(byIndex(std::numeric_limits<qint64>::min(), false), expected);
        QCOMPARE(byIndex(std::numeric_limits<qint64>::max(), true), expected);
        QCOMPARE(byCursor(true), expected);

        // Written by this program: found at once, before the index has folded it again.
        QVERIFY(m_notas->FindFirst(Criterion::entriesMentioning(QStringLiteral("2222"))));
        QVERIFY(m_notas->Edit());
        QVERIFY(m_notas->SetField(QStringLiteral("nota"), texto + QLatin1Char('\n') + nota));
        QVERIFY(m_notas->Update());
        const qint64 edited = m_notas->currentKey();
        QCOMPARE(byIndex(key, false), found ? edited : -1);

        // Written by another program: found once the index has folded the change again.
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(m_agenda->databaseFile().toUtf8().constData(), &other), SQLITE_OK);
        const QByteArray sql = "UPDATE notas SET texto = 'nada', nota = NULL WHERE numero = " + QByteArray::number(key);
        QCOMPARE(sqlite3_exec(other, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(other);
        QCOMPARE(byCursor(false), found ? edited : -1);
        QTRY_VERIFY(index->ready());
        QCOMPARE(byIndex(std::numeric_limits<qint64>::min(), false), found ? edited : -1);

        // A damaged cache is made again; the agenda answers meanwhile.
        const QString cache = index->cacheFile();
        m_db.reset();
        m_notas.reset();
        QFile file(cache);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(100)); // past the header, so that the file still reads as a database
        file.write(QByteArray(file.size() - 100, '\x5a'));
        file.close();
        QFile::remove(cache + QStringLiteral("-wal"));
        m_notas = m_agenda->cursor(QStringLiteral("notas"));
        m_db = Database::open(m_agenda->databaseFile(), nullptr);
        m_db->startSearchIndex(m_agenda->context.paths.cacheFolder);
        index = m_db->searchIndex();
        QCOMPARE(byCursor(false), found ? edited : -1);
        QTRY_VERIFY(index->ready());
        QCOMPARE(byIndex(std::numeric_limits<qint64>::min(), false), found ? edited : -1);
    }

    void aNewSessionFoldsOnlyWhatChanged_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<bool>("answersAtOnce");
        QTest::newRow("unchanged") << "" << true;
        QTest::newRow("another program, seen") << "other" << true;
        QTest::newRow("this program, folded") << "this" << true;
        QTest::newRow("written while closed") << "closed" << true;
        QTest::newRow("closed, a trigger dropped") << "dropped" << false;
        QTest::newRow("closed, more changes than listed") << "many" << false;
    }

    // A new session uses the index at once when the agenda is as the cache remembers it, and
    // otherwise folds again what the agenda's list of changes names; only when the list cannot be
    // followed does it look every entry over, the agenda answering meanwhile. It always finds
    // exactly what the rule finds.
    void aNewSessionFoldsOnlyWhatChanged()
    {
        QFETCH(QString, writer);
        QFETCH(bool, answersAtOnce);
        const qint64 key = m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("Dentista"));
        const QString cacheFolder = m_agenda->context.paths.cacheFolder;
        m_db->startSearchIndex(cacheFolder);
        m_db->searchIndex()->setPatience(60000, 0);
        QTRY_VERIFY(m_db->searchIndex()->remembered());
        QByteArray sql = "UPDATE notas SET texto = 'Fontanero' WHERE numero = " + QByteArray::number(key);
        if (writer == QLatin1String("dropped"))
            sql.prepend("DROP TRIGGER quillomar_cambios_cambio; ");
        if (writer == QLatin1String("many"))
            sql += "; INSERT INTO notas (texto) SELECT 'relleno' FROM (WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                   "SELECT i + 1 FROM n WHERE i <= 10000) SELECT i FROM n)";
        const auto otherWrites = [&] {
            sqlite3 *other = nullptr;
            QCOMPARE(sqlite3_open(m_agenda->databaseFile().toUtf8().constData(), &other), SQLITE_OK);
            QCOMPARE(sqlite3_exec(other, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(other);
        };
        if (writer == QLatin1String("other")) {
            otherWrites();
            QCOMPARE(m_db->searchIndex()->find("fontanero", 0, false), std::optional<qint64>(key));
        } else if (writer == QLatin1String("this")) {
            QVERIFY(m_db->write(QString::fromUtf8(sql), {}));
        }
        QTRY_VERIFY(m_db->searchIndex()->remembered());
        m_db.reset();
        m_notas.reset();
        const bool closed = !writer.isEmpty() && writer != QLatin1String("other") && writer != QLatin1String("this");
        if (closed)
            otherWrites();

        m_notas = m_agenda->cursor(QStringLiteral("notas"));
        m_db = Database::open(m_agenda->databaseFile(), nullptr);
        // A look over every entry waits its turn; folding what the list names does not.
        m_db->startSearchIndex(cacheFolder, 2000);
        SearchIndex *index = m_db->searchIndex();
        index->setPatience(60000, 0);
        const bool written = !writer.isEmpty();
        const std::optional<qint64> fontanero(written ? key : -1);
        const std::optional<qint64> first = index->find("fontanero", 0, false);
        QCOMPARE(first.has_value(), answersAtOnce);
        if (first)
            QCOMPARE(first, fontanero);
        if (answersAtOnce) {
            QTRY_VERIFY_WITH_TIMEOUT(index->ready(), 1500);
        } else {
            QTest::qWait(200);
            QVERIFY(!index->ready());
        }
        QTRY_VERIFY(index->ready());
        QCOMPARE(index->find("fontanero", 0, false), fontanero);
        QCOMPARE(index->find("dentista", 0, false), std::optional<qint64>(written ? -1 : key));
    }

    // A cache made for one agenda is no index of another.
    void aForeignCacheIsMadeAgain()
    {
        const qint64 key = m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("Dentista"));
        const QString cacheFolder = m_agenda->context.paths.cacheFolder;
        const QString otherAgenda = QDir(m_agenda->folder()).filePath(QStringLiteral("otra.mdb"));
        {
            std::shared_ptr<Database> other = Database::open(otherAgenda, nullptr);
            QVERIFY(other->write(QStringLiteral("INSERT INTO notas (texto) VALUES ('Fontanero')"), {}));
            other->startSearchIndex(cacheFolder);
            QTRY_VERIFY(other->searchIndex()->ready());
        }
        QVERIFY(QFile::copy(SearchIndex::cacheFileOf(otherAgenda, cacheFolder),
                            SearchIndex::cacheFileOf(m_agenda->databaseFile(), cacheFolder)));
        m_db->startSearchIndex(cacheFolder);
        QTRY_VERIFY(m_db->searchIndex()->ready());
        QCOMPARE(m_db->searchIndex()->find("fontanero", 0, false), std::optional<qint64>(-1));
        QCOMPARE(m_db->searchIndex()->find("dentista", 0, false), std::optional<qint64>(key));
    }

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<RecordCursor> m_notas;
    std::shared_ptr<Database> m_db;
};

QTEST_GUILESS_MAIN(TestSearchIndex)
#include "tst_searchindex.moc"
