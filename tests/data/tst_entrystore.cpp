#include "data/Diary.h"
#include "data/EntryStore.h"
#include "data/store/Criterion.h"
#include "support/TestAgenda.h"

#include <QSignalSpy>
#include <QtTest>
#include <sqlite3.h>

using EntryWriteCall = std::function<StoreResult(EntryStore &, qint64 numero)>;
Q_DECLARE_METATYPE(EntryWriteCall)
Q_DECLARE_METATYPE(Entry)
Q_DECLARE_METATYPE(StoreResult::Status)

// The diary entries' one way into the agenda: each write reaches its own entry whatever the
// windows' cursors stand on, keeps the agenda's rules, and tells the views what it changed.
class TestEntryStore : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        openDiary();
    }
    void cleanup()
    {
        m_diary.reset();
        m_agenda.reset();
    }

    void writeReachesItsEntryAndIsTold_data()
    {
        QTest::addColumn<EntryWriteCall>("write");
        QTest::addColumn<Entry>("after"); // numero 0: the entry is gone
        QTest::addColumn<bool>("told");
        const Entry other{-1, Day.addDays(1), QStringLiteral("10:00"), QStringLiteral("Banco"), {}, {}};
        Entry renamed = First, noted = First, quiet = First;
        renamed.text = QStringLiteral("Médico");
        noted.note = QStringLiteral("llevar el informe");
        quiet.alarmTime.clear();
        QTest::newRow("add") << EntryWriteCall([other](EntryStore &s, qint64) { return s.add(other); }) << other
                             << true;
        QTest::newRow("text") << EntryWriteCall([](EntryStore &s, qint64 n) {
            return s.setText(n, QStringLiteral("Médico"));
        }) << renamed << true;
        QTest::newRow("note") << EntryWriteCall([](EntryStore &s, qint64 n) {
            return s.setNote(n, QStringLiteral("llevar el informe"));
        }) << noted << true;
        QTest::newRow("alarm cleared") << EntryWriteCall([](EntryStore &s, qint64 n) { return s.setAlarmTime(n, {}); })
                                       << quiet << true;
        QTest::newRow("whole entry") << EntryWriteCall([other](EntryStore &s, qint64 n) {
            Entry moved = other;
            moved.numero = n;
            return s.update(moved);
        }) << other << true;
        QTest::newRow("unchanged") << EntryWriteCall([](EntryStore &s, qint64 n) {
            return s.setText(n, QStringLiteral("Dentista"));
        }) << First << false;
        QTest::newRow("removed") << EntryWriteCall([](EntryStore &s, qint64 n) { return s.remove(n); })
                                 << Entry{0, {}, {}, {}, {}, {}} << true;
    }
    void writeReachesItsEntryAndIsTold()
    {
        QFETCH(EntryWriteCall, write);
        QFETCH(Entry, after);
        QFETCH(bool, told);
        const qint64 numero = m_diary->entries().add(First).key();
        const qint64 bystander = m_agenda->addEntry(Day, QStringLiteral("08:00"), QStringLiteral("Otra"));
        // Another window's cursor stands on another entry: the write must not land there.
        QVERIFY(m_diary->Data1.FindFirst(Criterion::numberEquals(QStringLiteral("numero"), bystander)));
        QSignalSpy changed(m_diary.get(), &Diary::changed);

        const StoreResult result = write(m_diary->entries(), numero);
        QVERIFY2(result.isOk(), qPrintable(result.why()));
        const qint64 key = result.key();
        if (after.numero == 0) {
            QVERIFY(!m_diary->entries().find(key));
        } else {
            after.numero = key;
            QCOMPARE(m_diary->entries().find(key), std::optional<Entry>(after));
        }
        QCOMPARE(m_diary->entries().find(bystander)->text, QStringLiteral("Otra"));
        QCOMPARE(m_diary->Data1.currentKey(), bystander);
        QCOMPARE(changed.size(), told ? 1 : 0);
        if (told)
            QCOMPARE(changed[0][0].value<DiaryChange>(), (DiaryChange{DiaryChange::Kind::Entries, key}));
    }

    void refusedOrFailedWritesChangeNothing_data()
    {
        QTest::addColumn<EntryWriteCall>("write");
        QTest::addColumn<QString>("agenda"); // what befalls the agenda before the write
        QTest::addColumn<StoreResult::Status>("status");
        QTest::addColumn<QString>("why");
        const auto text = [](const QString &value) {
            return EntryWriteCall([value](EntryStore &s, qint64 n) { return s.setText(n, value); });
        };
        const auto added = [](const QString &time) {
            return EntryWriteCall([time](EntryStore &s, qint64) {
                return s.add({-1, Day, time, QStringLiteral("Nueva"), {}, {}});
            });
        };
        const auto refused = StoreResult::Status::Refused;
        QTest::newRow("text too long") << text(QString(256, u'a')) << "" << refused << "el asunto admite 255";
        QTest::newRow("time too long") << added(QStringLiteral("10:300")) << "" << refused << "la hora admite 5";
        QTest::newRow("alarm too long") << EntryWriteCall([](EntryStore &s, qint64 n) {
            return s.setAlarmTime(n, QStringLiteral("9:00 h"));
        }) << "" << refused << "la hora de la alarma admite 5";
        QTest::newRow("entry deleted") << text(QStringLiteral("Otra")) << "deleted" << refused << "ya no está";
        QTest::newRow("damaged agenda") << text(QStringLiteral("Otra")) << "damaged" << refused << "dañada";
        QTest::newRow("damaged agenda, add") << added(QStringLiteral("10:00")) << "damaged" << refused << "dañada";
        QTest::newRow("damaged agenda, remove")
            << EntryWriteCall([](EntryStore &s, qint64 n) { return s.remove(n); }) << "damaged" << refused << "dañada";
        QTest::newRow("file locked") << text(QStringLiteral("Otra")) << "locked" << StoreResult::Status::Failed << "";
    }
    void refusedOrFailedWritesChangeNothing()
    {
        QFETCH(EntryWriteCall, write);
        QFETCH(QString, agenda);
        QFETCH(StoreResult::Status, status);
        QFETCH(QString, why);
        const qint64 numero = m_diary->entries().add(First).key();
        sqlite3 *other = nullptr;
        if (agenda == u"deleted") {
            QVERIFY(m_diary->entries().remove(numero));
        } else if (agenda == u"damaged") {
            m_diary.reset();
            TestAgenda::damageTable(m_agenda->databaseFile(), QStringLiteral("telefonos"));
            openDiary();
        }
        const auto count = [this] { return m_agenda->cursor(QStringLiteral("notas"))->RecordCount(); };
        const qint64 rows = count();
        if (agenda == u"locked") {
            QCOMPARE(sqlite3_open(m_agenda->databaseFile().toUtf8().constData(), &other), SQLITE_OK);
            QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        QSignalSpy changed(m_diary.get(), &Diary::changed);

        const StoreResult result = write(m_diary->entries(), numero);
        if (other)
            sqlite3_close(other);
        QCOMPARE(result.status(), status);
        QVERIFY2(result.why().contains(why) && !result.why().isEmpty(), qPrintable(result.why()));
        QCOMPARE(count(), rows);
        if (agenda != u"deleted")
            QCOMPARE(m_diary->entries().find(numero), std::optional<Entry>(withNumero(First, numero)));
        QCOMPARE(changed.size(), 0);
    }

private:
    static inline const QDate Day = QDate(2024, 4, 3);
    static inline const Entry First{
        -1, Day, QStringLiteral("09:00"), QStringLiteral("Dentista"), {}, QStringLiteral("08:55")};

    static Entry withNumero(Entry entry, qint64 numero)
    {
        entry.numero = numero;
        return entry;
    }
    void openDiary()
    {
        m_diary = std::make_unique<Diary>();
        m_diary->open(m_agenda->databaseFile());
    }

    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Diary> m_diary;
};

QTEST_GUILESS_MAIN(TestEntryStore)
#include "tst_entrystore.moc"
