#include "support/RadicaleServer.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// "quillomar --sync" run as a script runs it: a copy of the program with its network module and
// an agenda of its own, no display at all, against a Radicale of the test's own.
class TestSyncCommand final : public QObject
{
    Q_OBJECT

private slots:
    void oneSyncPass_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("password"); // "-": the environment gives no account at all
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("told"); // the start of what the program says
        QTest::newRow("what came") << QStringList{"--sync"} << "right" << 0 << "Sincronizado: 1 recibido.";
        QTest::newRow("forced") << QStringList{"--sync", "--force"} << "right" << 0 << "Sincronizado: 1 recibido.";
        QTest::newRow("one dash") << QStringList{"-sync"} << "right" << 0 << "Sincronizado: 1 recibido.";
        QTest::newRow("wrong password") << QStringList{"--sync"} << "otra" << 1
                                        << "quillomar: El servidor 127.0.0.1 no acepta el usuario o la contraseña.";
        QTest::newRow("no account") << QStringList{"--sync"} << "-" << 1
                                    << "quillomar: no hay cuenta de sincronización.";
    }
    void oneSyncPass()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, password);
        QFETCH(int, status);
        QFETCH(QString, told);
        if (const QString why = RadicaleServer::missing(); !why.isEmpty())
            QSKIP(qPrintable(why));
        RadicaleServer server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        const QUrl calendar = server.makeCalendar();
        QVERIFY(!server.makeAddressBook().isEmpty());
        const QByteArray event = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//prueba//ES\r\nBEGIN:VEVENT\r\n"
                                 "UID:cena-1\r\nDTSTAMP:20261201T090000Z\r\nDTSTART:20261209T200000\r\n"
                                 "SUMMARY:Cena\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
        QCOMPARE(server.send("PUT", calendar.resolved(QUrl(QStringLiteral("cena-1.ics"))), event,
                             {{"Content-Type", "text/calendar"}}),
                 201);

        QTemporaryDir folder;
        const QString program = folder.filePath(QStringLiteral("quillomar"));
        QVERIFY(QFile::copy(QStringLiteral(QUILLOMAR_EXECUTABLE), program));
        QVERIFY(QFile::copy(QStringLiteral(QUILLOMAR_DAV_MODULE_FILE),
                            folder.filePath(QStringLiteral("quillomar-dav.so"))));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.path());
        if (password != QLatin1String("-")) {
            environment.insert(QStringLiteral("QUILLOMAR_DAV_URL"), server.url().toString());
            environment.insert(QStringLiteral("QUILLOMAR_DAV_USER"), server.user());
            environment.insert(QStringLiteral("QUILLOMAR_DAV_PASSWORD"),
                               password == QLatin1String("right") ? server.password() : password);
        }
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder.path());
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(process.exitCode() == status, qPrintable(out + err));
        QVERIFY2((status == 0 ? out : err).startsWith(told), qPrintable(out + err));
    }
};

QTEST_GUILESS_MAIN(TestSyncCommand)
#include "tst_synccommand.moc"
