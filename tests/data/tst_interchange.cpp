#include "data/EntryStore.h"
#include "data/TaskStore.h"
#include "data/interchange/Interchange.h"
#include "support/TestAgenda.h"

#include <QProcess>
#include <QtTest>
#include <csignal>
#include <ctime>
#include <sqlite3.h>
#include <sys/resource.h>

// Calendar files in and out of the diary: what each producer's file brings, the round trips, and
// the files refused with the agenda untouched.
class TestInterchange : public QObject
{
    Q_OBJECT

private:
    // The day the endless series are expanded around.
    const QDate m_today{2024, 3, 1};

    static QString corpus(const QString &name) { return QFINDTESTDATA(QStringLiteral("interchange/") + name); }

    static QStringList entries(TestAgenda &agenda)
    {
        QStringList rows;
        agenda.cursor(QStringLiteral("notas"))
            ->ReadAll({"fecha", "hora", "texto", "horaalarma", "nota"}, [&](const QVariantList &v) {
                const QDate date = QDate::fromString(v[0].toString(), QStringLiteral("dd/MM/yyyy"));
                rows << QStringLiteral("%1 %2|%3|%4|%5")
                            .arg(date.toString(Qt::ISODate), v[1].toString(), v[2].toString(), v[3].toString(),
                                 v[4].toString());
            });
        rows.sort();
        return rows;
    }

    static QStringList tasks(TestAgenda &agenda)
    {
        QStringList rows;
        auto tareas = agenda.cursor(QStringLiteral("tareas"));
        for (bool on = tareas->MoveFirst(); on && !tareas->Eof(); on = tareas->MoveNext())
            rows << QStringLiteral("%1 %2|%3|%4|%5 %6")
                        .arg(tareas->Date("Fecha").toString(Qt::ISODate), tareas->Text("Hora"), tareas->Text("Tarea"),
                             tareas->Bool("Terminada") ? "hecha" : "pendiente",
                             tareas->Date("Fechaalarma").toString(Qt::ISODate), tareas->Text("Horaalarma"));
        rows.sort();
        return rows;
    }

    Interchange::Counts import(TestAgenda &agenda, const QString &path, Interchange::Prepared *prepared = nullptr)
    {
        const Interchange::Prepared read = Interchange::prepare(path, m_today);
        if (prepared)
            *prepared = read;
        Interchange::Counts counts;
        const StoreResult done = Interchange(agenda.diary()).apply(read.plan, &counts);
        if (!read.error.isEmpty() || !done)
            qWarning() << read.error << done.why();
        return counts;
    }

    static QByteArray bytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        // Every time below is told as a clock in Madrid shows it.
        qputenv("TZ", "Europe/Madrid");
        tzset();
    }

    void importsWhatEachProducerWrites_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("tasks");
        QTest::addColumn<QString>("told");
        // TZID with its VTIMEZONE, UTC, all-day and multi-day, a weekly series with EXDATE and a
        // changed repetition, a relative alarm; location and attendee kept and told.
        QTest::newRow("google") << "google.ics"
                                << QStringList{
                                       "2024-03-04 08:00|Natación||",
                                       "2024-03-05 09:30|Dentista|09:15|Llevar la tarjeta",
                                       "2024-03-06 17:00|Llamada con Lisboa||",
                                       "2024-03-11 08:00|Natación||",
                                       "2024-03-19 00:00|San José||",
                                       "2024-03-25 19:00|Natación (tarde)||",
                                       "2024-04-01 00:00|Congreso en Sevilla||",
                                       "2024-04-01 08:00|Natación||",
                                       "2024-04-08 08:00|Natación||",
                                   }
                                << QStringList{} << "9 entradas (5 de 1 serie); se guarda sin sitio en el programa: asistentes 1, lugar 1";
        // A Windows zone name; an alarm a day before is kept, not set.
        QTest::newRow("outlook") << "outlook.ics" << QStringList{"2024-02-12 12:00|Comité de dirección||"}
                                 << QStringList{} << "1 alarma en otro día que su entrada no se pone";
        // A wrong VTIMEZONE for a zone the system knows, a zone only the file defines, a floating
        // time, an absolute alarm.
        QTest::newRow("apple") << "apple.ics"
                               << QStringList{"2024-01-15 10:00|Reunión de vecinos|09:45|",
                                              "2024-01-16 16:00|Videollamada con Buenos Aires||",
                                              "2024-01-17 07:30|Correr||"}
                               << QStringList{} << "3 entradas";
        // Done by STATUS, by COMPLETED, by PERCENT-COMPLETE and by CANCELLED; absolute and
        // relative alarms; due date and description kept.
        QTest::newRow("tasks")
            << "tasks.ics" << QStringList{}
            << QStringList{"2024-01-30 11:00|Informe|hecha| ", "2024-01-30 11:00|Pagar la factura|hecha| ",
                           "2024-01-30 11:00|Reservar viaje|hecha| ",
                           "2024-02-01 10:00|Comprar pan|pendiente|2024-02-02 18:00",
                           "2024-02-05 10:00|Llamar al fontanero|pendiente|2024-02-05 09:30"}
            << "5 tareas; se guarda sin sitio en el programa: descripción 1, fecha límite 1, prioridad 1";
        // Folded lines cut inside a character, accents and emoji; a summary too long for the
        // entry, and an empty one.
        const QString long20 = QStringLiteral("Reunión anual ").repeated(20).trimmed();
        QTest::newRow("folded") << "thunderbird-folded.ics"
                                << QStringList{
                                       "2024-05-10 20:00|Cumpleaños de Begoña 🎂 en la terraza — traer guitarra, velas "
                                       "y la tarta de limón que tanto le gusta||Nos vemos a las 20:00 en la azotea; si "
                                       "llueve, en el salón. ¡No se lo digáis! 🤫🎉",
                                       QStringLiteral("2024-05-11 10:00|%1…||%2").arg(long20.left(254), long20),
                                       "2024-05-12 10:00|(sin título)||",
                                   }
                                << QStringList{} << "3 entradas";
    }

    void importsWhatEachProducerWrites()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, entries);
        QFETCH(QStringList, tasks);
        QFETCH(QString, told);
        TestAgenda agenda;
        Interchange::Prepared prepared;
        const Interchange::Counts counts = import(agenda, corpus(file), &prepared);
        QVERIFY2(prepared.error.isEmpty(), qPrintable(prepared.error));
        QCOMPARE(this->entries(agenda), entries);
        QCOMPARE(this->tasks(agenda), tasks);
        QCOMPARE(counts.added, int(entries.size() + tasks.size()));
        QVERIFY2(Interchange::describe(prepared.plan).contains(told), qPrintable(Interchange::describe(prepared.plan)));
    }

    // Export, import into an empty agenda: the same rows. Import the export again into the
    // first: nothing changes, nothing is added.
    void roundTripsKeepTheRows_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *file : {"google.ics", "outlook.ics", "apple.ics", "tasks.ics", "thunderbird-folded.ics"})
            QTest::newRow(file) << QString::fromLatin1(file);
    }

    void roundTripsKeepTheRows()
    {
        QFETCH(QString, file);
        TestAgenda first;
        import(first, corpus(file));
        first.addEntry(QDate(2024, 3, 7), QStringLiteral("12:00"), QStringLiteral("Escrita en el programa"));
        const QString exported = first.folder() + QStringLiteral("/salida.ics");
        QVERIFY(Interchange(first.diary()).exportTo(exported, QDateTime(m_today, QTime(9, 0))));

        TestAgenda second;
        import(second, exported);
        QCOMPARE(entries(second), entries(first));
        QCOMPARE(tasks(second), tasks(first));

        const QStringList before = entries(first) + tasks(first);
        const Interchange::Counts again = import(first, exported);
        QCOMPARE(entries(first) + tasks(first), before);
        QCOMPARE(again.added, 0);
        QCOMPARE(again.updated, 0);
    }

    // A series goes out once: the deleted repetition as EXDATE, the changed one as itself.
    void seriesGoOutOnceWithTheirChanges()
    {
        TestAgenda first;
        import(first, corpus(QStringLiteral("google.ics")));
        Diary &diary = first.diary();
        qint64 deleted = -1, changed = -1;
        first.cursor(QStringLiteral("notas"))->ReadAll({"numero", "fecha", "texto"}, [&](const QVariantList &v) {
            if (v[2].toString() != QStringLiteral("Natación"))
                return;
            if (v[1].toString() == QLatin1String("01/04/2024"))
                deleted = v[0].toLongLong();
            if (v[1].toString() == QLatin1String("08/04/2024"))
                changed = v[0].toLongLong();
        });
        QVERIFY(diary.entries().setText(changed, QStringLiteral("Natación con Luis")));
        QVERIFY(diary.entries().remove(deleted));
        const QString exported = first.folder() + QStringLiteral("/salida.ics");
        QVERIFY(Interchange(diary).exportTo(exported, QDateTime(m_today, QTime(9, 0))));
        const QByteArray text = bytes(exported);
        QCOMPARE(text.count("RRULE:FREQ=WEEKLY"), 1);
        QCOMPARE(text.count("EXDATE"), 2);
        QCOMPARE(text.count("RECURRENCE-ID"), 2);

        TestAgenda second;
        import(second, exported);
        QCOMPARE(entries(second), entries(first));
    }

    // A task deleted gives up its UID: the next task, which may get its row id, is another one.
    void aDeletedTaskTakesItsIdentityAlong()
    {
        TestAgenda agenda;
        import(agenda, corpus(QStringLiteral("tasks.ics")));
        TaskStore &store = agenda.diary().tasks();
        const qint64 last = store.keyOf(QStringLiteral("Llamar al fontanero"));
        QVERIFY(store.setDone(last, true));
        QVERIFY(store.removeFinished());
        QVERIFY(store.add({-1, m_today, QStringLiteral("10:00"), QStringLiteral("Nueva"), false, {}, {}}));
        const QString exported = agenda.folder() + QStringLiteral("/salida.ics");
        QVERIFY(Interchange(agenda.diary()).exportTo(exported, QDateTime(m_today, QTime(9, 0))));
        const QByteArray text = bytes(exported);
        QVERIFY(text.contains("SUMMARY:Nueva") && text.contains("UID:todo-pan"));
        QCOMPARE(text.count("UID:todo-"), 1);
    }

    // Cards come in once, found again by UID or, without one, by their whole content, and go out
    // to an address file that brings the same cards back.
    void cardsComeInOnceAndGoOutAgain()
    {
        TestAgenda first;
        const QString file = first.folder() + QStringLiteral("/contactos.vcf");
        QFile vcf(file);
        QVERIFY(vcf.open(QIODevice::WriteOnly));
        vcf.write("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:ana-1\r\nFN:Ana Pérez\r\nTEL:600111222\r\n"
                  "EMAIL:ana@example.org\r\nX-APODO:Anita\r\nEND:VCARD\r\n"
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Luis Gómez\r\nTEL:600333444\r\nEND:VCARD\r\n");
        vcf.close();
        const auto cards = [](TestAgenda &agenda) {
            QStringList rows;
            agenda.cursor(QStringLiteral("telefonos"))
                ->ReadAll({"NOMBRE", "TEL1", "EMAIL1"}, [&](const QVariantList &v) {
                    rows << QStringLiteral("%1|%2|%3").arg(v[0].toString(), v[1].toString(), v[2].toString());
                });
            rows.sort();
            return rows;
        };
        QCOMPARE(import(first, file).added, 2);
        const QStringList imported = cards(first);
        QCOMPARE(imported, QStringList({"Ana Pérez|600111222|ana@example.org", "Luis Gómez|600333444|"}));
        QCOMPARE(import(first, file).added, 0);
        QCOMPARE(cards(first), imported);

        const QString exported = first.folder() + QStringLiteral("/salida.vcf");
        QVERIFY(Interchange(first.diary()).exportTo(exported, QDateTime(m_today, QTime(9, 0))));
        QVERIFY(bytes(exported).contains("X-APODO:Anita"));
        TestAgenda second;
        import(second, exported);
        QCOMPARE(cards(second), imported);
    }

    // A second reader (python3-icalendar) finds in the export the fields the agenda holds.
    void anotherReaderReadsTheExport()
    {
        // The system's Python, where Debian installs the module.
        const QString python = QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
            ? QStringLiteral("/usr/bin/python3")
            : QStringLiteral("python3");
        QProcess probe;
        probe.start(python, {QStringLiteral("-c"), QStringLiteral("import icalendar")});
        if (!probe.waitForFinished() || probe.exitCode() != 0)
            QSKIP("python3-icalendar is not installed");
        TestAgenda agenda;
        for (const char *file : {"apple.ics", "tasks.ics", "thunderbird-folded.ics", "outlook.ics"})
            import(agenda, corpus(QString::fromLatin1(file)));
        const QString exported = agenda.folder() + QStringLiteral("/salida.ics");
        QVERIFY(Interchange(agenda.diary()).exportTo(exported, QDateTime(m_today, QTime(9, 0))));

        const char *script = R"(
import sys, icalendar, zoneinfo
madrid = zoneinfo.ZoneInfo("Europe/Madrid")
cal = icalendar.Calendar.from_ical(open(sys.argv[1], "rb").read())
for c in cal.walk():
    if c.name == "VEVENT":
        start = c.decoded("DTSTART").astimezone(madrid)
        print("%s|%s|%s" % (start.strftime("%Y-%m-%d %H:%M"), c.get("SUMMARY"), c.get("DESCRIPTION", "")))
    elif c.name == "VTODO":
        print("%s|%s" % (c.get("SUMMARY"), "hecha" if c.get("STATUS") in ("COMPLETED", "CANCELLED") or c.get("PERCENT-COMPLETE") == 100 else "pendiente"))
)";
        QProcess reader;
        reader.start(python, {QStringLiteral("-c"), QString::fromLatin1(script), exported});
        QVERIFY(reader.waitForFinished(20000));
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
        QStringList read =
            QString::fromUtf8(reader.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        read.sort();

        QStringList held;
        for (const QString &row : entries(agenda)) {
            const QStringList v = row.split(QLatin1Char('|'));
            held << QStringList{v[0], v[1], v[3]}.join(QLatin1Char('|'));
        }
        for (const QString &row : tasks(agenda)) {
            const QStringList v = row.split(QLatin1Char('|'));
            held << QStringList{v[1], v[2]}.join(QLatin1Char('|'));
        }
        held.sort();
        QCOMPARE(read, held);
    }

    void refusedFilesLeaveTheAgendaAsItWas_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << "hostile/empty.ics"
                               << "No se puede importar empty.ics: el archivo está vacío.";
        QTest::newRow("NUL") << "hostile/nul-byte.ics"
                             << "No se puede importar nul-byte.ics (línea 8): el archivo contiene un byte nulo: no es "
                                "un archivo de texto.";
        QTest::newRow("not UTF-8") << "hostile/latin1.ics"
                                   << "No se puede importar latin1.ics (línea 8): el texto no está en UTF-8.";
        QTest::newRow("unbalanced") << "hostile/unbalanced.ics"
                                    << "No se puede importar unbalanced.ics (línea 7): «END:VCALENDAR» cierra otra "
                                       "cosa que «BEGIN:VEVENT».";
        QTest::newRow("value libical marks") << "hostile/bad-value.ics"
                                             << "No se puede importar bad-value.ics (línea 7): hay un valor que no se "
                                                "puede leer.";
        QTest::newRow("impossible date") << "hostile/impossible-date.ics"
                                         << "No se puede importar impossible-date.ics (línea 7): la fecha "
                                            "«20230230T100000» no existe.";
        QTest::newRow("content against name") << "hostile/cards-named-ics.ics"
                                              << "No se puede importar cards-named-ics.ics: el archivo es de "
                                                 "contactos, pero su nombre no acaba en .vcf.";
    }

    void refusedFilesLeaveTheAgendaAsItWas()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        TestAgenda agenda;
        import(agenda, corpus(QStringLiteral("apple.ics")));
        const QByteArray before = bytes(agenda.databaseFile());
        const QString path = corpus(file);
        const Interchange::Prepared prepared = Interchange::prepare(path, m_today);
        QCOMPARE(Interchange::refusal(path, prepared), message);
        QCOMPARE(bytes(agenda.databaseFile()), before);
    }

    // A write refused half-way takes back the writes before it.
    void aRefusedWriteTakesTheWholeImportBack()
    {
        TestAgenda agenda;
        import(agenda, corpus(QStringLiteral("apple.ics")));
        const QByteArray before = bytes(agenda.databaseFile());
        Interchange::Prepared prepared = Interchange::prepare(corpus(QStringLiteral("tasks.ics")), m_today);
        prepared.plan.tasks.back().task.time = QStringLiteral("25:99");
        QCOMPARE(Interchange(agenda.diary()).apply(prepared.plan).status(), StoreResult::Status::Refused);
        QCOMPARE(bytes(agenda.databaseFile()), before);
        QVERIFY(tasks(agenda).isEmpty());
    }

    // An agenda of the first schema version gets the tables of the second at its first import.
    void anOlderAgendaIsBroughtUpToDate()
    {
        TestAgenda agenda;
        const qint64 kept = agenda.addEntry(QDate(2024, 1, 2), QStringLiteral("10:00"), QStringLiteral("De antes"));
        sqlite3 *raw = nullptr;
        QCOMPARE(sqlite3_open(agenda.databaseFile().toUtf8().constData(), &raw), SQLITE_OK);
        QCOMPARE(sqlite3_exec(raw,
                              "DROP TABLE quillomar_intercambio; DROP TABLE quillomar_series; PRAGMA user_version = 1",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        import(agenda, corpus(QStringLiteral("apple.ics")));
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(raw,
                           "SELECT (SELECT user_version FROM pragma_user_version), (SELECT count(*) FROM "
                           "quillomar_intercambio), (SELECT count(*) FROM quillomar_series)",
                           -1, &statement, nullptr);
        QCOMPARE(sqlite3_step(statement), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int(statement, 0), 2);
        QCOMPARE(sqlite3_column_int(statement, 1), 3);
        sqlite3_finalize(statement);
        sqlite3_close(raw);
        QVERIFY(agenda.diary().entries().find(kept));
    }

    // An export replaces its file only whole; a failed one (a disk that takes no more) leaves the
    // old file and no scraps.
    void anExportReplacesItsFileOnlyWhole()
    {
        TestAgenda agenda;
        import(agenda, corpus(QStringLiteral("apple.ics")));
        const QString target = agenda.folder() + QStringLiteral("/agenda.ics");
        Interchange files(agenda.diary());
        QVERIFY(files.exportTo(target, QDateTime(m_today, QTime(9, 0))));
        const QByteArray old = bytes(target);
        QVERIFY(agenda.diary().entries().setText(1, QStringLiteral("Cambiada")));

        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit small = before;
        small.rlim_cur = 64;
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        const StoreResult failed = files.exportTo(target, QDateTime(m_today, QTime(9, 0)));
        setrlimit(RLIMIT_FSIZE, &before);
        QCOMPARE(failed.status(), StoreResult::Status::Failed);
        QCOMPARE(bytes(target), old);
        QCOMPARE(QDir(agenda.folder()).entryList({QStringLiteral("agenda.ics*")}, QDir::Files),
                 QStringList{"agenda.ics"});
    }
};

QTEST_GUILESS_MAIN(TestInterchange)
#include "tst_interchange.moc"
