// Times the store on a diary of thirty years: quillomar_bench [FOLDER]
// Builds the agenda once (200,000 entries, 5,000 cards, 2,000 tasks, 3,000 day rows), then
// reports the median of repeated runs of each operation. Figures, not pass or fail.
#include "data/AgendaBackups.h"
#include "data/DateText.h"
#include "data/store/Criterion.h"
#include "data/store/Database.h"
#include "data/store/RecordCursor.h"

#include "Median.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <vector>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    const QString file = QDir(folder).filePath(QStringLiteral("quillomar.mdb"));
    QString error;
    auto db = Database::open(file, &error);
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    const QDate first(1995, 1, 1);
    bool ok = db->exec(QStringLiteral("SELECT count(*) FROM notas"), {}, {});
    if (ok && db->scalar(QStringLiteral("SELECT count(*) FROM notas"), {}).toInt() == 0) {
        QElapsedTimer build;
        build.start();
        db->exec(QStringLiteral("BEGIN"), {});
        for (int i = 0; i < 200000; ++i) {
            const QDate day = first.addDays(i % 10950);
            db->write(
                QStringLiteral("INSERT INTO notas (fecha, hora, texto, nota, horaalarma) VALUES (?, ?, ?, ?, ?)"),
                {DateText::fromDate(day),
                 QStringLiteral("%1:%2").arg(8 + i % 12, 2, 10, QLatin1Char('0')).arg(i % 60, 2, 10, QLatin1Char('0')),
                 QStringLiteral("Reunión número %1 con el equipo").arg(i),
                 i % 3 ? QVariant()
                       : QVariant(QStringLiteral("Llevar los papeles del asunto %1 y repasar las cuentas").arg(i)),
                 i % 10 ? QVariant() : QVariant(QStringLiteral("08:00"))});
        }
        for (int i = 0; i < 5000; ++i)
            db->write(
                QStringLiteral("INSERT INTO telefonos (NOMBRE, TEL1) VALUES (?, ?)"),
                {QStringLiteral("Persona %1 Ñúñez").arg(i), QStringLiteral("6%1").arg(i, 8, 10, QLatin1Char('0'))});
        for (int i = 0; i < 2000; ++i)
            db->write(QStringLiteral("INSERT INTO tareas (Fecha, Hora, Terminada, Tarea) VALUES (?, ?, ?, ?)"),
                      {DateText::toStored(first.addDays(i * 5)), QStringLiteral("10:00"), i % 2,
                       QStringLiteral("Tarea %1").arg(i)});
        for (int i = 0; i < 3000; ++i)
            db->write(QStringLiteral("INSERT INTO dias (fecha, texto, esfestivo) VALUES (?, ?, ?)"),
                      {DateText::fromDate(first.addDays(i * 3)), QStringLiteral("Día %1").arg(i), i % 2});
        db->exec(QStringLiteral("COMMIT"), {});
        std::printf("built the agenda in %.0f ms\n", build.nsecsElapsed() / 1e6);
    }

    RecordCursor notas, dias, fijos, cards;
    for (auto [cursor, table] : {std::pair{&notas, "notas"}, std::pair{&dias, "dias"},
                                 std::pair{&fijos, "festivosfijos"}, std::pair{&cards, "telefonos"}}) {
        cursor->DatabaseName = file;
        cursor->RecordSource = QString::fromLatin1(table);
        cursor->Refresh();
    }

    const QDate monday(2010, 6, 7);
    const double week = medianMs(50, [&] {
        for (int i = 0; i < 7; ++i) {
            const QString tag = DateText::fromDate(monday.addDays(i));
            fijos.FindFirst(Criterion::textEquals(QStringLiteral("fecha"), tag.left(5)));
            dias.FindFirst(Criterion::textEquals(QStringLiteral("fecha"), tag));
            const Criterion day = Criterion::textEquals(QStringLiteral("fecha"), tag);
            for (bool found = notas.FindFirst(day); found; found = notas.FindNext(day))
                notas.Text(QStringLiteral("texto"));
        }
    });
    // The same rows straight from SQLite, statements prepared once: the floor the cursors are
    // measured against.
    sqlite3 *raw = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *rawFixed = nullptr, *rawDay = nullptr, *rawEntries = nullptr;
    sqlite3_prepare_v2(raw, "SELECT texto, esfestivosiempre FROM festivosfijos WHERE fecha = ? ORDER BY rowid LIMIT 1",
                       -1, &rawFixed, nullptr);
    sqlite3_prepare_v2(raw, "SELECT texto, esfestivo FROM dias WHERE fecha = ? ORDER BY rowid LIMIT 1", -1, &rawDay,
                       nullptr);
    sqlite3_prepare_v2(raw, "SELECT numero, hora, texto, nota, horaalarma FROM notas WHERE fecha = ? ORDER BY numero",
                       -1, &rawEntries, nullptr);
    size_t touched = 0;
    const double rawWeek = medianMs(50, [&] {
        for (int i = 0; i < 7; ++i) {
            const QByteArray tag = DateText::fromDate(monday.addDays(i)).toUtf8();
            for (auto [statement, length] :
                 {std::pair{rawFixed, 5}, std::pair{rawDay, 10}, std::pair{rawEntries, 10}}) {
                sqlite3_bind_text(statement, 1, tag.constData(), length, SQLITE_STATIC);
                while (sqlite3_step(statement) == SQLITE_ROW)
                    for (int c = 0; c < sqlite3_column_count(statement); ++c)
                        touched +=
                            size_t(sqlite3_column_bytes(statement, c)) + (sqlite3_column_text(statement, c) ? 1 : 0);
                sqlite3_reset(statement);
            }
        }
    });
    for (sqlite3_stmt *statement : {rawFixed, rawDay, rawEntries})
        sqlite3_finalize(statement);
    sqlite3_close(raw);

    const double absent =
        medianMs(9, [&] { notas.FindFirst(Criterion::entriesContaining(QStringLiteral("no está en ninguna parte"))); });
    // The searches a user types into ignore case and the accents of vowels. A step is one find:
    // the worst ones scan every row (absent text, or the match at the far end).
    const Criterion absentLoosely = Criterion::entriesMentioning(QStringLiteral("no esta en ninguna parte"));
    QElapsedTimer firstTimer;
    firstTimer.start();
    notas.FindFirst(absentLoosely); // reads the texts into memory once
    const double looseFirst = firstTimer.nsecsElapsed() / 1e6;
    const double looseAbsent = medianMs(9, [&] { notas.FindFirst(absentLoosely); });
    const double looseLast =
        medianMs(9, [&] { notas.FindFirst(Criterion::entriesMentioning(QStringLiteral("REUNION NUMERO 199999 "))); });
    const Criterion meeting = Criterion::entriesMentioning(QStringLiteral("reunion"));
    notas.FindFirst(meeting);
    const double looseNext = medianMs(9, [&] { notas.FindNext(meeting); });
    const double looseFindLast = medianMs(9, [&] { notas.FindLast(absentLoosely); });
    // Previous from the last row walks back over every row to the one match at the start.
    const Criterion firstOnly = Criterion::entriesMentioning(QStringLiteral("REUNION NUMERO 0 "));
    const double loosePrevious = medianMs(9, [&] {
        notas.MoveLast();
        notas.FindPrevious(firstOnly);
    });
    // The search section writes what is typed into a found entry's text, then searches on.
    std::vector<double> afterEdit;
    for (int i = 0; i < 9; ++i) {
        notas.FindFirst(firstOnly);
        notas.Edit();
        notas.SetField(QStringLiteral("texto"), QStringLiteral("Reunión numero 0 cambiada %1").arg(i));
        notas.Update();
        afterEdit.push_back(medianMs(1, [&] { notas.FindNext(absentLoosely); }));
    }
    std::sort(afterEdit.begin(), afterEdit.end());
    const double looseAfterEdit = afterEdit[afterEdit.size() / 2];
    std::vector<double> afterWrite;
    for (int i = 0; i < 9; ++i) {
        notas.AddNew();
        notas.SetField(QStringLiteral("fecha"), QStringLiteral("01/01/2030"));
        notas.SetField(QStringLiteral("texto"), QStringLiteral("Reunión añadida"));
        notas.Update();
        afterWrite.push_back(medianMs(1, [&] { notas.FindFirst(absentLoosely); }));
    }
    std::sort(afterWrite.begin(), afterWrite.end());
    const double looseAfterWrite = afterWrite[afterWrite.size() / 2];
    const QStringList phones{QStringLiteral("TEL1"), QStringLiteral("TEL2"), QStringLiteral("TEL3")};
    const double cardAbsent = medianMs(21, [&] {
        cards.FindFirst(Criterion::containsIgnoringAccents({QStringLiteral("NOMBRE")}, QStringLiteral("garcia")));
    });
    const double cardLast = medianMs(21, [&] {
        cards.FindFirst(
            Criterion::containsIgnoringAccents({QStringLiteral("NOMBRE")}, QStringLiteral("persona 4999 ñunez")));
    });
    const double phoneAbsent =
        medianMs(21, [&] { cards.FindFirst(Criterion::containsIgnoringAccents(phones, QStringLiteral("5551x"))); });
    // Each further Enter in the phone book: the next card after the one shown.
    const Criterion someone = Criterion::containsIgnoringAccents({QStringLiteral("NOMBRE")}, QStringLiteral("ñunez"));
    cards.FindFirst(someone);
    const double cardNext = medianMs(21, [&] { cards.FindNext(someone); });
    const double refresh = medianMs(50, [&] { notas.Refresh(); });
    const double append = medianMs(20, [&] {
        notas.AddNew();
        notas.SetField(QStringLiteral("fecha"), QStringLiteral("01/01/2030"));
        notas.SetField(QStringLiteral("texto"), QStringLiteral("nueva"));
        notas.Update();
    });
    std::printf("one week's lookups:        %8.3f ms (raw SQLite, same rows: %.3f ms; %.1fx)\n", week, rawWeek,
                week / rawWeek);
    std::printf("search for absent text:    %8.3f ms\n", absent);
    std::printf("accent-free search, first:     %8.3f ms (reads the texts once)\n", looseFirst);
    std::printf("accent-free search, absent:    %8.3f ms (budget 20)\n", looseAbsent);
    std::printf("accent-free search, last row:  %8.3f ms (budget 20)\n", looseLast);
    std::printf("accent-free search, next:      %8.3f ms (budget 20)\n", looseNext);
    std::printf("accent-free FindLast, absent:  %8.3f ms (budget 20)\n", looseFindLast);
    std::printf("accent-free FindPrevious:      %8.3f ms (budget 20)\n", loosePrevious);
    std::printf("search right after an append:  %8.3f ms (budget 20)\n", looseAfterWrite);
    std::printf("search right after an edit:    %8.3f ms (budget 20)\n", looseAfterEdit);
    std::printf("card name search, absent:      %8.3f ms (budget 5)\n", cardAbsent);
    std::printf("card name search, last card:   %8.3f ms (budget 5)\n", cardLast);
    std::printf("card phone search, absent:     %8.3f ms (budget 5)\n", phoneAbsent);
    std::printf("card name search, next card:   %8.3f ms (budget 5)\n", cardNext);
    std::printf("Refresh:                   %8.3f ms\n", refresh);
    std::printf("one append (committed):    %8.3f ms\n", append);

    // The day's safety copy runs on a worker; the diary goes on writing meanwhile. What matters
    // to the user is the longest a write of theirs waits on it.
    const QString copy = QDir(folder).filePath(QStringLiteral("copias/quillomar-bench.mdb"));
    QString copyError;
    QElapsedTimer copyTimer;
    copyTimer.start();
    double copyMs = 0;
    QThread *worker = QThread::create([&] {
        copyError = AgendaBackups::copyAgenda(file, copy);
        copyMs = copyTimer.nsecsElapsed() / 1e6;
    });
    worker->start();
    double longestWrite = 0;
    int writes = 0;
    while (!worker->isFinished()) {
        QElapsedTimer one;
        one.start();
        notas.AddNew();
        notas.SetField(QStringLiteral("fecha"), QStringLiteral("01/01/2031"));
        notas.SetField(QStringLiteral("texto"), QStringLiteral("durante la copia"));
        if (!notas.Update())
            std::fprintf(stderr, "a write failed during the copy: %s\n", qPrintable(notas.lastError()));
        longestWrite = std::max(longestWrite, one.nsecsElapsed() / 1e6);
        ++writes;
        QThread::msleep(50);
    }
    worker->wait();
    delete worker;
    const double quietCopy = medianMs(3, [&] { AgendaBackups::copyAgenda(file, copy); });
    QFile::remove(copy);
    std::printf("safety copy, quiet:        %8.3f ms (on its own thread)\n", quietCopy);
    std::printf("safety copy, with writes:  %8.3f ms%s\n", copyMs, copyError.isEmpty() ? "" : " FAILED");
    std::printf("longest write during copy: %8.3f ms (%d writes, budget 200)\n", longestWrite, writes);
    return 0;
}
