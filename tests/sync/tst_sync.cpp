#include "data/CardStore.h"
#include "data/EntryStore.h"
#include "data/TaskStore.h"
#include "data/dav/DavClient.h"
#include "data/interchange/Interchange.h"
#include "data/sync/SyncRunner.h"
#include "support/RadicaleServer.h"
#include "support/TestAgenda.h"

#include <QSignalSpy>
#include <QTest>
#include <sqlite3.h>

namespace {

const QDate Day(2026, 12, 10);

// The agenda's items as another program reads them, in one sorted list.
QStringList contents(TestAgenda &agenda)
{
    QStringList rows;
    sqlite3 *db = nullptr;
    sqlite3_open(agenda.databaseFile().toUtf8().constData(), &db);
    for (const char *sql : {"SELECT 'E', fecha, hora, texto, nota, horaalarma FROM notas",
                            "SELECT 'T', Fecha, Hora, Tarea, Terminada, '' FROM tareas",
                            "SELECT 'C', NOMBRE, TEL1, EMAIL1, POBLACION, '' FROM telefonos"}) {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            QStringList values;
            for (int i = 0; i < 6; ++i)
                values << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, i)));
            rows << values.join(u'|');
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    rows.sort();
    return rows;
}

void sql(TestAgenda &agenda, const QString &statement)
{
    sqlite3 *db = nullptr;
    sqlite3_open(agenda.databaseFile().toUtf8().constData(), &db);
    QCOMPARE(sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

enum class Kind { Entry, Task, Card };
const char *const Tables[] = {"notas", "tareas", "telefonos"};
const char *const TextColumns[] = {"texto", "Tarea", "NOMBRE"};

qint64 keyOf(TestAgenda &agenda, Kind kind, const QString &text)
{
    sqlite3 *db = nullptr;
    sqlite3_open(agenda.databaseFile().toUtf8().constData(), &db);
    sqlite3_stmt *statement = nullptr;
    const QByteArray query =
        QStringLiteral("SELECT rowid FROM %1 WHERE %2 = ?").arg(Tables[int(kind)], TextColumns[int(kind)]).toUtf8();
    sqlite3_prepare_v2(db, query.constData(), -1, &statement, nullptr);
    const QByteArray bound = text.toUtf8();
    sqlite3_bind_text(statement, 1, bound.constData(), int(bound.size()), SQLITE_TRANSIENT);
    const qint64 key = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return key;
}

// Writes an item of kind whose text is text (over the one with key, when given) and its other
// field (the note, the time, the phone) as other.
bool write(Diary &diary, Kind kind, const QString &text, const QString &other = QStringLiteral("1"), qint64 key = -1)
{
    switch (kind) {
    case Kind::Entry: {
        Entry entry{key, Day, QStringLiteral("10:00"), text, other, {}};
        return key > 0 ? bool(diary.entries().update(entry)) : bool(diary.entries().add(entry));
    }
    case Kind::Task: {
        Task task{key, Day, QStringLiteral("09:00"), text, other == QLatin1String("hecha"), {}, {}};
        return key > 0 ? bool(diary.tasks().update(task)) : bool(diary.tasks().add(task));
    }
    case Kind::Card:
        Card card;
        card.key = key;
        card.fields[Card::Name] = text;
        card.fields[Card::Email1] = other;
        return key > 0 ? bool(diary.cards().update(card)) : bool(diary.cards().add(card));
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class SyncTest : public QObject
{
    Q_OBJECT

    // Only a guard against a pass that never ends: a loaded machine under the sanitizers may take
    // minutes over the thousand items, and CTest's own limit for the test is longer still.
    static constexpr int PassGuardMs = 500000;

    RadicaleServer m_server;
    SyncTarget m_target;
    int m_collections = 0;

    static SyncRunner::Connector connector()
    {
        return [](const QUrl &url, const QString &user, const QString &password) {
            return std::make_unique<DavClient>(url, user, password);
        };
    }

    // One pass of agenda's diary, waited for on its finished signal.
    SyncReport sync(TestAgenda &agenda, bool allowDeletions = false, const SyncTarget *target = nullptr)
    {
        SyncRunner runner(agenda.diary(), connector());
        QSignalSpy finished(&runner, &SyncRunner::finished);
        if (!runner.sync(target ? *target : m_target, allowDeletions) || !finished.wait(PassGuardMs))
            return {};
        return finished.first().first().value<SyncReport>();
    }

    // Passes of a, b and a again, each of which must go to its end.
    bool syncAll(TestAgenda &a, TestAgenda &b)
    {
        for (TestAgenda *agenda : {&a, &b, &a}) {
            const SyncReport report = sync(*agenda);
            if (!report.ok || !report.error.isEmpty()) {
                qWarning() << report.summary();
                return false;
            }
        }
        return true;
    }

private slots:
    void initTestCase()
    {
        if (const QString why = RadicaleServer::missing(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QString error;
        QVERIFY2(m_server.start(&error), qPrintable(error));
    }

    // Every test syncs a calendar and an address book of its own.
    void init()
    {
        QVERIFY(m_server.start());
        ++m_collections;
        m_target = {m_server.url(), m_server.user(), m_server.password(), {}, {}, {}};
        m_target.calendar = m_server.makeCalendar(QStringLiteral("calendario%1").arg(m_collections));
        m_target.tasks = m_target.calendar;
        m_target.addressBook = m_server.makeAddressBook(QStringLiteral("contactos%1").arg(m_collections));
        QVERIFY(!m_target.calendar.isEmpty() && !m_target.addressBook.isEmpty());
    }

    void firstSyncBothWaysFindsTheCollections()
    {
        RadicaleServer server;
        QVERIFY(server.start());
        QVERIFY(!server.makeCalendar().isEmpty() && !server.makeAddressBook().isEmpty());
        const SyncTarget found{server.url(), server.user(), server.password(), {}, {}, {}};
        TestAgenda a;
        TestAgenda b;
        for (Kind kind : {Kind::Entry, Kind::Task, Kind::Card}) {
            QVERIFY(write(a.diary(), kind, QStringLiteral("De A")));
            QVERIFY(write(b.diary(), kind, QStringLiteral("De B")));
        }
        for (TestAgenda *agenda : {&a, &b, &a})
            QVERIFY(sync(*agenda, false, &found).ok);
        QCOMPARE(contents(a).size(), 6);
        QCOMPARE(contents(a), contents(b));
    }

    void theAccountWindowHearsTheCollections()
    {
        TestAgenda a;
        SyncRunner runner(a.diary(), connector());
        QSignalSpy discovered(&runner, &SyncRunner::discovered);
        QVERIFY(runner.discover(m_target));
        QVERIFY(runner.busy() && !runner.sync(m_target));
        QVERIFY(discovered.wait(PassGuardMs));
        QVERIFY(discovered.first().first().value<DavAnswer>());
        const auto collections = discovered.first().last().value<QList<DavCollection>>();
        QVERIFY(std::any_of(collections.begin(), collections.end(),
                            [&](const DavCollection &found) { return found.url == m_target.addressBook; }));
        QVERIFY(!runner.busy());
    }

    // Each kind of item made, changed or deleted on either side reaches the other.
    void changesReachTheOtherSide_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("onB");
        for (Kind kind : {Kind::Entry, Kind::Task, Kind::Card}) {
            const QString name = QString::fromLatin1(Tables[int(kind)]);
            for (const QString &change : {QStringLiteral("make"), QStringLiteral("edit"), QStringLiteral("delete"),
                                          QStringLiteral("delete by another program")})
                for (bool onB : {false, true})
                    QTest::addRow("%s, %s on %s", qPrintable(name), qPrintable(change), onB ? "b" : "a")
                        << kind << change << onB;
        }
    }
    void changesReachTheOtherSide()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, change);
        QFETCH(bool, onB);
        TestAgenda a;
        TestAgenda b;
        TestAgenda &side = onB ? b : a;
        const QString text = QStringLiteral("Cita");
        // Two items stay, so one deleted is not most of the collection.
        QVERIFY(write(a.diary(), kind, QStringLiteral("Otra")) && write(a.diary(), kind, QStringLiteral("Y otra")));
        {
            if (change != QLatin1String("make"))
                QVERIFY(write(a.diary(), kind, text));
            QVERIFY(syncAll(a, b));
        }
        const qint64 key = keyOf(side, kind, text);
        if (change == QLatin1String("make"))
            QVERIFY(write(side.diary(), kind, text));
        else if (change == QLatin1String("edit"))
            QVERIFY(write(side.diary(), kind, QStringLiteral("Cita cambiada"), QStringLiteral("2"), key));
        else if (change == QLatin1String("delete") && kind == Kind::Task)
            QVERIFY(side.diary().tasks().setDone(key, true) && side.diary().tasks().removeFinished());
        else if (change == QLatin1String("delete"))
            QVERIFY(kind == Kind::Entry ? bool(side.diary().entries().remove(key))
                                        : bool(side.diary().cards().remove(key)));
        else
            sql(side, QStringLiteral("DELETE FROM %1 WHERE rowid = %2").arg(Tables[int(kind)]).arg(key));
        const QStringList expected = contents(side);
        QVERIFY(syncAll(side, onB ? a : b));
        QCOMPARE(contents(a), expected);
        QCOMPARE(contents(b), expected);
    }

    // Both sides change the same item: different fields are merged, the same field keeps both.
    void bothSidesChangeOneItem_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("sameField");
        for (Kind kind : {Kind::Entry, Kind::Task, Kind::Card}) {
            QTest::addRow("%s, different fields", Tables[int(kind)]) << kind << false;
            QTest::addRow("%s, the same field", Tables[int(kind)]) << kind << true;
        }
    }
    void bothSidesChangeOneItem()
    {
        QFETCH(Kind, kind);
        QFETCH(bool, sameField);
        TestAgenda a;
        TestAgenda b;
        QVERIFY(write(a.diary(), kind, QStringLiteral("Cita")));
        QVERIFY(syncAll(a, b));
        const QString other = kind == Kind::Task ? QStringLiteral("hecha") : QStringLiteral("2");
        QVERIFY(write(a.diary(), kind, QStringLiteral("Cita de A"), QStringLiteral("1"), keyOf(a, kind, "Cita")));
        QVERIFY(write(b.diary(), kind, sameField ? QStringLiteral("Cita de B") : QStringLiteral("Cita"), other,
                      keyOf(b, kind, "Cita")));
        QVERIFY(sync(a).ok);
        const SyncReport report = sync(b);
        QVERIFY(report.ok);
        QCOMPARE(report.conflicts.size(), sameField ? 1 : 0);
        QVERIFY(sync(a).ok);
        QCOMPARE(contents(a), contents(b));
        QVERIFY(keyOf(a, kind, QStringLiteral("Cita de A")) > 0);
        QCOMPARE(keyOf(a, kind, QStringLiteral("Cita de B (copia en conflicto)")) > 0, sameField);
        QCOMPARE(contents(a).size(), sameField ? 2 : 1);
        if (!sameField)
            QVERIFY(contents(a).first().contains(kind == Kind::Task ? QStringLiteral("|1|") : QStringLiteral("|2|")));
    }

    // An edit beats a deletion, whichever side makes which.
    void anEditBeatsADeletion_data()
    {
        QTest::addColumn<bool>("editOnA");
        QTest::newRow("edited on a, deleted on b") << true;
        QTest::newRow("deleted on a, edited on b") << false;
    }
    void anEditBeatsADeletion()
    {
        QFETCH(bool, editOnA);
        TestAgenda a;
        TestAgenda b;
        QVERIFY(write(a.diary(), Kind::Entry, QStringLiteral("Cita")));
        QVERIFY(syncAll(a, b));
        TestAgenda &editor = editOnA ? a : b;
        TestAgenda &deleter = editOnA ? b : a;
        QVERIFY(write(editor.diary(), Kind::Entry, QStringLiteral("Cita cambiada"), QStringLiteral("1"),
                      keyOf(editor, Kind::Entry, "Cita")));
        QVERIFY(deleter.diary().entries().remove(keyOf(deleter, Kind::Entry, "Cita")));
        QVERIFY(syncAll(a, b));
        QCOMPARE(contents(a), contents(b));
        QCOMPARE(contents(a).size(), 1);
        QVERIFY(keyOf(a, Kind::Entry, QStringLiteral("Cita cambiada")) > 0);
    }

    // The entries of an imported series go as one server item; a repetition deleted on one side
    // is deleted on the other.
    void aSeriesIsOneServerItem()
    {
        TestAgenda a;
        TestAgenda b;
        const QString path = a.folder() + QStringLiteral("/serie.ics");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Prueba//ES\r\nBEGIN:VEVENT\r\nUID:serie\r\n"
                   "DTSTAMP:20261201T000000Z\r\nDTSTART:20261201T090000\r\nRRULE:FREQ=DAILY;COUNT=5\r\n"
                   "SUMMARY:Clase\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
        file.close();
        const Interchange::Prepared prepared = Interchange::prepare(path, Day);
        QVERIFY(Interchange(a.diary()).apply(prepared.plan));
        QCOMPARE(sync(a).sent, 1);
        QVERIFY(syncAll(b, a));
        QCOMPARE(contents(b).size(), 5);
        QVERIFY(b.diary().entries().remove(keyOf(b, Kind::Entry, QStringLiteral("Clase"))));
        QVERIFY(syncAll(b, a));
        QCOMPARE(contents(a).size(), 4);
        QCOMPARE(contents(a), contents(b));
    }

    void aWrongPasswordChangesNothing()
    {
        TestAgenda a;
        QVERIFY(write(a.diary(), Kind::Entry, QStringLiteral("Cita")));
        QFile file(a.databaseFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        SyncTarget wrong = m_target;
        wrong.password = QStringLiteral("otra");
        const SyncReport report = sync(a, false, &wrong);
        QVERIFY(!report.ok);
        QVERIFY(!report.summary().isEmpty());
        file.seek(0);
        QCOMPARE(file.readAll(), before);
    }

    // The server stops while the pass sends: what was sent stays, the next pass finishes the rest.
    void aServerStoppedMidPassLosesNothing()
    {
        TestAgenda a;
        TestAgenda b;
        for (int i = 0; i < 60; ++i)
            QVERIFY(write(a.diary(), Kind::Entry, QStringLiteral("Cita %1").arg(i)));
        SyncReport report;
        {
            SyncRunner runner(a.diary(), connector());
            QSignalSpy finished(&runner, &SyncRunner::finished);
            connect(&runner, &SyncRunner::progress, this, [&](int done) {
                if (done == 10)
                    m_server.stop();
            });
            QVERIFY(runner.sync(m_target));
            QVERIFY(finished.wait(PassGuardMs));
            report = finished.first().first().value<SyncReport>();
        }
        QVERIFY(!report.ok);
        QVERIFY2(report.error.contains(QStringLiteral("se reintentará")), qPrintable(report.error));
        QVERIFY(m_server.start());
        QVERIFY(syncAll(a, b));
        QCOMPARE(contents(b).size(), 60);
        QCOMPARE(contents(a), contents(b));
    }

    // The diary's window closes mid-pass: the runner gives up the calls the pass still waits
    // for on the diary's thread, and the next pass finishes the work.
    void aRunnerDeletedMidPassReturns()
    {
        TestAgenda a;
        for (int i = 0; i < 20; ++i)
            QVERIFY(write(a.diary(), Kind::Entry, QStringLiteral("Cita %1").arg(i)));
        auto runner = std::make_unique<SyncRunner>(a.diary(), connector());
        QSignalSpy progress(runner.get(), &SyncRunner::progress);
        QVERIFY(runner->sync(m_target));
        QVERIFY(progress.wait(PassGuardMs));
        runner.reset();
        TestAgenda b;
        QVERIFY(syncAll(a, b));
        QCOMPARE(contents(b).size(), 20);
    }

    // More than half of what was synced gone from the server: nothing is deleted here until the
    // user says so.
    void massDeletionsWaitForTheUser()
    {
        TestAgenda a;
        TestAgenda b;
        for (int i = 0; i < 4; ++i)
            QVERIFY(write(a.diary(), Kind::Card, QStringLiteral("Persona %1").arg(i)));
        QVERIFY(syncAll(a, b));
        for (int i = 0; i < 3; ++i)
            QVERIFY(a.diary().cards().remove(keyOf(a, Kind::Card, QStringLiteral("Persona %1").arg(i))));
        QVERIFY(sync(a).ok);
        const SyncReport held = sync(b);
        QVERIFY(held.ok);
        QCOMPARE(held.heldDeletions, 3);
        QVERIFY(!held.heldQuestion.isEmpty());
        QCOMPARE(contents(b).size(), 4);
        const SyncReport allowed = sync(b, true);
        QCOMPARE(allowed.deletedHere, 3);
        QCOMPARE(contents(b), contents(a));
    }

    void aThousandItems()
    {
        TestAgenda a;
        TestAgenda b;
        for (int i = 0; i < 1000; ++i)
            QVERIFY(write(a.diary(), Kind::Entry, QStringLiteral("Cita %1").arg(i)));
        QVERIFY(syncAll(a, b));
        QCOMPARE(contents(b).size(), 1000);
        QCOMPARE(contents(a), contents(b));
        const SyncReport idle = sync(b);
        QVERIFY(idle.ok);
        QCOMPARE(idle.received + idle.sent + idle.deletedHere + idle.deletedThere, 0);
    }
};

QTEST_GUILESS_MAIN(SyncTest)
#include "tst_sync.moc"
