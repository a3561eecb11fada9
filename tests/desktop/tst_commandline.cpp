#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
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

    static Run quillomar(const QStringList &arguments, const QString &program = QStringLiteral(QUILLOMAR_EXECUTABLE))
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
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
            for (const char *option : {"--version", "--import ARCHIVO", "--export ARCHIVO", "--pdf ARCHIVO",
                                       "--semana DD/MM/AAAA", "--mes MM/AAAA", "--tareas", "--telefonos", "--notas",
                                       "--papel", "--orientacion", "--sync", "--force"})
                QVERIFY2(help.out.contains(QString::fromUtf8(option)), option);
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
        QTest::newRow("no such day") << QStringList{"--pdf", "s.pdf", "--semana", "31/02/2024"} << "«31/02/2024»";
        QTest::newRow("no such month") << QStringList{"--pdf", "s.pdf", "--mes", "13/2024"} << "«13/2024»";
        QTest::newRow("two views") << QStringList{"--pdf", "s.pdf", "--tareas", "--mes", "05/2024"} << "solo una";
        QTest::newRow("no file") << QStringList{"--telefonos"} << "--pdf";
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

    // An import or export from a terminal: one line, on standard output when done, on standard
    // error (naming the file, and the line of a parse error) when refused, and the status to
    // match. Each runs a portable copy of the program in a folder of its own, whose agenda it
    // works on.
    void importAndExportAnswerInOneLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        const QString corpus = QFINDTESTDATA("../data/interchange/apple.ics").section(QLatin1Char('/'), 0, -2);
        QTest::newRow("import") << QStringList{"--import", corpus + "/apple.ics"} << 0
                                << "Importado apple.ics: 3 entradas";
        QTest::newRow("export") << QStringList{"--export", "salida.ics"} << 0 << "Exportado salida.ics: 0 elementos.";
        QTest::newRow("refused, with its line") << QStringList{"--import", corpus + "/hostile/unbalanced.ics"} << 1
                                                << "quillomar: No se puede importar unbalanced.ics (línea 7)";
        QTest::newRow("neither .ics nor .vcf")
            << QStringList{"--export", "salida.txt"} << 1 << "quillomar: no se puede exportar a salida.txt";
        QTest::newRow("both at once") << QStringList{"--import", "a.ics", "--export", "b.ics"} << 2
                                      << "quillomar: «--import» y «--export» no van juntos.";
    }

    void importAndExportAnswerInOneLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, said);
        QTemporaryDir folder;
        const QString program = folder.filePath(QStringLiteral("quillomar"));
        QVERIFY(QFile::copy(QStringLiteral(QUILLOMAR_EXECUTABLE), program));
        qputenv("XDG_RUNTIME_DIR", folder.path().toUtf8());
        QDir::setCurrent(folder.path());
        const Run run = quillomar(arguments, program);
        QCOMPARE(run.status, status);
        const QString &told = status == 0 ? run.out : run.err;
        QVERIFY2(told.startsWith(said) && told.count(QLatin1Char('\n')) == 1, qPrintable(told));
        QVERIFY2((status == 0 ? run.err : run.out).isEmpty(), qPrintable(run.err + run.out));
    }

    // Without any display, from a copy of the program with an agenda of its own.
    void pdfIsWrittenWithoutDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("told");
        QTest::newRow("week of today") << QStringList{"--pdf", "semana.pdf"} << 0 << "";
        QTest::newRow("month") << QStringList{"--pdf", "mes.pdf", "--mes", "2/2024", "--papel", "carta"} << 0 << "";
        QTest::newRow("folder missing") << QStringList{"--pdf", "no-existe/t.pdf", "--tareas"} << 1
                                        << "no se puede escribir";
    }

    void pdfIsWrittenWithoutDisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, told);
        QTemporaryDir folder;
        const QString program = folder.filePath(QStringLiteral("quillomar"));
        QVERIFY(QFile::copy(QStringLiteral(QUILLOMAR_EXECUTABLE), program));
        arguments[1] = folder.filePath(arguments[1]);
        const Run run = quillomar(arguments, program);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(told), qPrintable(run.err));
        QFile pdf(arguments[1]);
        QCOMPARE(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-", status == 0);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
