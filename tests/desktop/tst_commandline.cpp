#include <QProcess>
#include <QtTest>

// The program's command line, answered on a terminal with no display at all.
class TestCommandLine : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        int status = -1;
        QString out;
        QString err;
    };

    static Run quillomar(const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(QUILLOMAR_EXECUTABLE), arguments);
        Run run;
        if (process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit)
            run.status = process.exitCode();
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

private slots:
    void versionAndHelpNeedNoDisplay()
    {
        const Run version = quillomar({QStringLiteral("--version")});
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QStringLiteral("Quillomar " QUILLOMAR_VERSION "\n"));
        QVERIFY2(version.err.isEmpty(), qPrintable(version.err));

        for (const QString &option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
            const Run help = quillomar({option});
            QCOMPARE(help.status, 0);
            QVERIFY2(help.out.startsWith(QStringLiteral("Uso: quillomar")), qPrintable(help.out));
            QVERIFY(help.out.contains(QStringLiteral("--version")));
            QVERIFY2(help.err.isEmpty(), qPrintable(help.err));
        }
    }

    void wrongArgumentsAreToldInOneLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        QTest::newRow("long") << QStringList{"--frob"} << "«--frob»";
        QTest::newRow("short") << QStringList{"-x"} << "«-x»";
        QTest::newRow("after a good one") << QStringList{"--version", "--frob=1"} << "«--frob»";
        QTest::newRow("missing value") << QStringList{"-platform"} << "-platform";
        QTest::newRow("argument") << QStringList{"agenda.mdb"} << "«agenda.mdb»";
    }

    void wrongArgumentsAreToldInOneLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        const Run run = quillomar(arguments);
        QCOMPARE(run.status, 2);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
        QVERIFY2(run.err.startsWith(QStringLiteral("quillomar: ")) && run.err.contains(named), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
