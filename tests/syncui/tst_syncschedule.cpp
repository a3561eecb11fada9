#include "data/Entry.h"
#include "data/EntryStore.h"
#include "data/sync/SyncAccount.h"
#include "data/sync/SyncRunner.h"
#include "support/TestAgenda.h"
#include "sync/SyncSchedule.h"

#include <QSemaphore>
#include <QTest>
#include <atomic>

namespace {

// A server nobody can reach; the test holds its passes under way as long as it needs.
class UnreachableServer final : public DavServer
{
public:
    DavAnswer discover(QList<DavCollection> *) override { return down(); }
    DavAnswer list(const QUrl &, QList<DavItem> *) override { return down(); }
    DavAnswer changes(const QUrl &, const QString &, QList<DavItem> *, QStringList *, QString *) override
    {
        return down();
    }
    DavAnswer fetch(const QUrl &, const QStringList &, QList<DavItem> *) override { return down(); }
    DavAnswer put(const QString &, const QByteArray &, const QString &, const QString &, QString *) override
    {
        return down();
    }
    DavAnswer remove(const QString &, const QString &) override { return down(); }
    void cancel() override {}

private:
    static DavAnswer down() { return {DavAnswer::Kind::Unreachable, 0, QStringLiteral("No se puede conectar")}; }
};

} // namespace

// When the diary syncs by itself, on a clock the test moves.
class TestSyncSchedule final : public QObject
{
    Q_OBJECT

private slots:
    void turns_data()
    {
        QTest::addColumn<bool>("account");
        // "start"; "+N": N seconds pass and the timer fires; "edit": an entry written here;
        // "hold": the next pass stays under way until "release"; "account": the user gives one.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("passes");
        const QString turn = QString::number(SyncSchedule::PeriodMs / 1000);
        const QString beforeTurn = QString::number(SyncSchedule::PeriodMs / 1000 - 1);
        const QString afterChange = QString::number(SyncSchedule::AfterChangeMs / 1000);
        QTest::newRow("no account") << false << QStringList{"start", "edit", "+" + turn, "+" + turn} << 0;
        QTest::newRow("an account given later waits for the turn")
            << false << QStringList{"start", "account", "+1"} << 0;
        QTest::newRow("at start") << true << QStringList{"start", "+1"} << 1;
        QTest::newRow("every turn") << true << QStringList{"start", "+" + beforeTurn, "+1", "+" + turn} << 3;
        QTest::newRow("after a change") << true << QStringList{"start", "edit", "+1", "+" + afterChange} << 2;
        QTest::newRow("not the pass's own writes")
            << true << QStringList{"hold", "start", "edit", "release", "+" + afterChange} << 1;
        QTest::newRow("a turn missed while busy")
            << true << QStringList{"hold", "start", "+" + turn, "release", "+1"} << 2;
    }
    void turns()
    {
        QFETCH(bool, account);
        QFETCH(QStringList, steps);
        QFETCH(int, passes);
        TestAgenda agenda;
        std::atomic_int made = 0;
        QSemaphore held;
        std::atomic_bool hold = false;
        SyncRunner runner(agenda.diary(), [&](const QUrl &, const QString &, const QString &) {
            ++made;
            if (hold.exchange(false))
                held.acquire();
            return std::make_unique<UnreachableServer>();
        });
        agenda.context.sync = &runner;
        agenda.context.syncPassword = QStringLiteral("secreta");
        SyncAccount saved;
        saved.server = QUrl(QStringLiteral("http://127.0.0.1:9/"));
        saved.user = QStringLiteral("ana");
        if (account)
            saved.save(agenda.context.paths);
        SyncSchedule schedule(agenda.diary(), agenda.context);
        bool holding = false;
        for (const QString &step : std::as_const(steps)) {
            if (step == QLatin1String("start")) {
                schedule.start();
            } else if (step == QLatin1String("edit")) {
                QVERIFY(agenda.diary().entries().add(Entry{-1, agenda.clock.today(), "10:00", "Dentista", {}, {}}));
            } else if (step == QLatin1String("account")) {
                saved.save(agenda.context.paths);
            } else if (step == QLatin1String("hold")) {
                hold = holding = true;
            } else if (step == QLatin1String("release")) {
                held.release();
                holding = false;
            } else {
                agenda.clock.advanceSeconds(step.mid(1).toInt());
                schedule.Timer_Timer();
            }
            if (!holding)
                QTRY_VERIFY(!runner.busy());
        }
        QCOMPARE(made.load(), passes);
        if (passes > 0)
            QVERIFY(SyncAccount::load(agenda.context.paths).lastSummary.endsWith(QStringLiteral("se reintentará.")));
    }
};

QTEST_MAIN(TestSyncSchedule)
#include "tst_syncschedule.moc"
