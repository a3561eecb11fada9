#include "data/sync/SyncAccount.h"
#include "support/TestAgenda.h"

#include <QFile>
#include <QTest>

// The account file written and read back, and the environment taking the place of what it keeps.
class TestSyncAccount final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        for (const char *name : {"QUILLOMAR_DAV_URL", "QUILLOMAR_DAV_USER", "QUILLOMAR_DAV_PASSWORD"})
            qunsetenv(name);
    }

    void load_data()
    {
        QTest::addColumn<QStringList>("environment"); // url, user, password; "-" leaves it unset
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("collectionsKept");
        QTest::addColumn<bool>("password");
        const QString saved = QStringLiteral("https://nube.example.org/dav/");
        QTest::newRow("saved") << QStringList{"-", "-", "-"} << saved << "eva" << true << false;
        QTest::newRow("same server") << QStringList{saved, "-", "-"} << saved << "eva" << true << false;
        QTest::newRow("other server") << QStringList{"http://127.0.0.1:5232/", "-", "-"} << "http://127.0.0.1:5232/"
                                      << "eva" << false << false;
        QTest::newRow("user and password") << QStringList{"-", "ana", "secreta"} << saved << "ana" << true << true;
    }
    void load()
    {
        QFETCH(QStringList, environment);
        QFETCH(QString, server);
        QFETCH(QString, user);
        QFETCH(bool, collectionsKept);
        QFETCH(bool, password);
        TestAgenda agenda;
        SyncAccount account;
        account.server = QUrl(QStringLiteral("https://nube.example.org/dav/"));
        account.user = QStringLiteral("eva");
        account.calendar = QUrl(QStringLiteral("https://nube.example.org/dav/eva/agenda/"));
        account.tasks = QUrl(QStringLiteral("https://nube.example.org/dav/eva/tareas/"));
        account.addressBook = QUrl(QStringLiteral("https://nube.example.org/dav/eva/contactos/"));
        account.lastSync = QDateTime(QDate(2026, 3, 1), QTime(9, 30));
        account.lastSummary = QStringLiteral("Llegaron 2 elementos.");
        account.conflicts = QStringList{QStringLiteral("Cena (copia en conflicto)")};
        account.save(agenda.context.paths);

        const char *names[] = {"QUILLOMAR_DAV_URL", "QUILLOMAR_DAV_USER", "QUILLOMAR_DAV_PASSWORD"};
        for (int index = 0; index < 3; ++index)
            if (environment[index] != QLatin1String("-"))
                qputenv(names[index], environment[index].toUtf8());
        const SyncAccount loaded = SyncAccount::load(agenda.context.paths);
        QCOMPARE(loaded.server.toString(), server);
        QCOMPARE(loaded.user, user);
        QCOMPARE(loaded.calendar.isEmpty(), !collectionsKept);
        QCOMPARE(loaded.addressBook.isEmpty(), !collectionsKept);
        QCOMPARE(loaded.fromEnvironment, environment[0] != QLatin1String("-") || environment[1] != QLatin1String("-"));
        QCOMPARE(SyncAccount::environmentHasPassword(), password);
        if (!loaded.fromEnvironment)
            QCOMPARE(loaded, account);
        QCOMPARE(loaded.lastSync, account.lastSync);
        QCOMPARE(loaded.conflicts, account.conflicts);
        // The environment's account is never written over the saved one.
        loaded.save(agenda.context.paths);
        qunsetenv(names[0]);
        qunsetenv(names[1]);
        QCOMPARE(SyncAccount::load(agenda.context.paths), account);
        QFile file(SyncAccount::fileFor(agenda.context.paths));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains("secreta"));
    }
};

QTEST_GUILESS_MAIN(TestSyncAccount)
#include "tst_syncaccount.moc"
