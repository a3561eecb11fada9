// The diary's text search and the day's safety copy at 1,000 to 1,000,000 entries, against raw
// SQLite and FTS5 on the same rows: quillomar_bench_search FOLDER [ROUNDS] [SIZES...]
//
// Makes in FOLDER/<size>/ an agenda of that many entries (10 % with notes of 200 to 2,000
// characters, Spanish words with accents) once, then runs ROUNDS rounds; in each, every size in
// turn, each measure in a process of its own (a first search is the first of a session):
//   session  index brought up to date (ms), first accent-free search for a text found nowhere
//            (ms), the same search again (median ms), resident memory grown by the first search
//            and since the index was started (MB), the first search made at once as the session
//            starts (ms); then in a second session, the agenda unchanged since the first: the
//            index brought up to date and the first search at once (ms)
//   copy     the day's safety copy (ms) while an entry is appended every 20 ms: the longest and
//            median append (ms), and the longest of as many appends made without a copy (ms)
//   raw      raw FTS5 trigram table over the same texts: a search for the same text (median ms);
//            one append to the agenda through a raw connection (median ms)
// Figures are medians over the rounds. Not a test: nothing here passes or fails.
#include "data/AgendaBackups.h"
#include "data/DateText.h"
#include "data/store/Criterion.h"
#include "data/store/Database.h"
#include "data/store/RecordCursor.h"
#if __has_include("data/store/SearchIndex.h")
#include "data/store/SearchIndex.h"
#define HAS_SEARCH_INDEX 1
#endif

#include "Median.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <random>
#include <sqlite3.h>
#include <vector>

namespace {

const QString Absent = QStringLiteral("xilofono purpura");

const char *const Words[] = {"reunión",  "médico",   "llamar",       "García",  "cumpleaños", "comprar",  "señora",
                             "oficina",  "revisión", "coche",        "banco",   "José",       "María",    "niños",
                             "colegio",  "cena",     "café",         "entrega", "pedido",     "Peña",     "Müller",
                             "viaje",    "tren",     "avión",        "factura", "pagar",      "recoger",  "farmacia",
                             "dentista", "clase",    "inglés",       "fútbol",  "correo",     "teléfono", "jardín",
                             "llevar",   "papeles",  "ayuntamiento", "cita",    "mañana"};

QString sentence(std::mt19937 &random, int characters)
{
    QString text;
    std::uniform_int_distribution<int> word(0, int(std::size(Words)) - 1);
    while (text.size() < characters) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += QString::fromUtf8(Words[word(random)]);
    }
    return text.left(characters);
}

QString agendaOf(const QString &folder, int size)
{
    return QDir(folder).filePath(QStringLiteral("%1/quillomar.mdb").arg(size));
}

void make(const QString &file, int size)
{
    if (QFile::exists(file))
        return;
    QDir().mkpath(QFileInfo(file).absolutePath());
    auto db = Database::open(file, nullptr);
    std::mt19937 random(size);
    std::uniform_int_distribution<int> textLength(10, 80), noteLength(200, 2000), percent(0, 99);
    db->exec(QStringLiteral("BEGIN"), {});
    const QDate first(1996, 1, 1);
    for (int i = 0; i < size; ++i) {
        const bool withNote = percent(random) < 10;
        db->exec(QStringLiteral("INSERT INTO notas (fecha, hora, texto, nota) VALUES (?, ?, ?, ?)"),
                 {DateText::fromDate(first.addDays(i / 50)), QStringLiteral("09:00"),
                  sentence(random, textLength(random)),
                  withNote ? QVariant(sentence(random, noteLength(random))) : QVariant()});
    }
    db->exec(QStringLiteral("COMMIT"), {});
}

double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    statm.open(QIODevice::ReadOnly);
    return statm.readAll().split(' ').value(1).toDouble() * 4096 / 1e6;
}

int session(const QString &file, const QString &cache)
{
    RecordCursor notas;
    notas.DatabaseName = file;
    notas.RecordSource = QStringLiteral("notas");
    notas.Refresh();
    const double before = residentMb();
    QElapsedTimer timer;
    timer.start();
    double ready = 0;
    double atStart = 0;
    const Criterion absent = Criterion::entriesMentioning(Absent);
#ifdef HAS_SEARCH_INDEX
    auto db = Database::open(file, nullptr);
    db->startSearchIndex(cache);
    // The first search as a user makes it, at once: from the index if it is ready, else the agenda.
    QElapsedTimer atOnce;
    atOnce.start();
    notas.FindFirst(absent);
    atStart = atOnce.nsecsElapsed() / 1e6;
    while (!db->searchIndex()->ready())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ready = timer.nsecsElapsed() / 1e6;
#else
    Q_UNUSED(cache);
#endif
    const double start = residentMb();
    timer.restart();
    notas.FindFirst(absent);
    const double first = timer.nsecsElapsed() / 1e6;
    const double grown = residentMb();
    const double step = medianMs(21, [&] { notas.FindFirst(absent); });
    std::printf("%.1f %.2f %.3f %.2f %.2f %.2f\n", ready, first, step, grown - start, grown - before, atStart);
    return 0;
}

int copy(const QString &file)
{
    auto db = Database::open(file, nullptr);
    const QString target = QFileInfo(file).absoluteDir().filePath(QStringLiteral("copia.mdb"));
    QFile::remove(target);
    std::atomic_bool done = false;
    QElapsedTimer timer;
    timer.start();
    double copyMs = 0;
    QThread *worker = QThread::create([&] {
        bool damaged = false;
        AgendaBackups::copyAgenda(*db, target, nullptr, &damaged);
        copyMs = timer.nsecsElapsed() / 1e6;
        done = true;
    });
    worker->start(QThread::LowPriority);
    std::vector<double> waits;
    while (!done) {
        QElapsedTimer append;
        append.start();
        db->write(QStringLiteral("INSERT INTO notas (fecha, hora, texto) VALUES ('01/01/2030', '10:00', ?)"),
                  {QStringLiteral("añadida durante la copia")});
        waits.push_back(append.nsecsElapsed() / 1e6);
        QThread::msleep(20);
    }
    worker->wait();
    delete worker;
    // The same appends without a copy: the longest is what the disk alone makes a write wait.
    double alone = 0;
    for (size_t i = 0; i < waits.size(); ++i) {
        QElapsedTimer append;
        append.start();
        db->write(QStringLiteral("INSERT INTO notas (fecha, hora, texto) VALUES ('01/01/2030', '10:00', ?)"),
                  {QStringLiteral("añadida sin copia")});
        alone = std::max(alone, append.nsecsElapsed() / 1e6);
        QThread::msleep(20);
    }
    db->write(QStringLiteral("DELETE FROM notas WHERE fecha = '01/01/2030'"), {});
    QFile::remove(target);
    std::sort(waits.begin(), waits.end());
    std::printf("%.0f %.2f %.2f %.2f\n", copyMs, waits.back(), waits[waits.size() / 2], alone);
    return 0;
}

int raw(const QString &file)
{
    const QString ftsFile = QFileInfo(file).absoluteDir().filePath(QStringLiteral("raw-fts.db"));
    sqlite3 *fts = nullptr;
    const bool fresh = !QFile::exists(ftsFile);
    sqlite3_open(ftsFile.toUtf8().constData(), &fts);
    if (fresh) {
        const QByteArray attach = "ATTACH '" + file.toUtf8() + "' AS agenda";
        sqlite3_exec(fts, attach.constData(), nullptr, nullptr, nullptr);
        sqlite3_exec(fts,
                     "CREATE VIRTUAL TABLE t USING fts5(texto, nota, tokenize='trigram', detail=none);"
                     "INSERT INTO t(rowid, texto, nota) SELECT numero, texto, nota FROM agenda.notas;",
                     nullptr, nullptr, nullptr);
    }
    sqlite3_stmt *search = nullptr;
    sqlite3_prepare_v2(fts, "SELECT rowid FROM t WHERE t MATCH ?1 ORDER BY rowid LIMIT 1", -1, &search, nullptr);
    const QByteArray query = "\"xil\" AND \"ilo\" AND \"lof\" AND \"ofo\" AND \"fon\" AND \"ono\" AND \" pu\" AND "
                             "\"pur\" AND \"urp\" AND \"rpu\" AND \"pur\" AND \"ura\"";
    const double step = medianMs(21, [&] {
        sqlite3_bind_text(search, 1, query.constData(), int(query.size()), SQLITE_STATIC);
        while (sqlite3_step(search) == SQLITE_ROW) {}
        sqlite3_reset(search);
    });
    sqlite3_finalize(search);
    sqlite3_close(fts);

    sqlite3 *agenda = nullptr;
    sqlite3_open(file.toUtf8().constData(), &agenda);
    sqlite3_exec(agenda, "PRAGMA synchronous = EXTRA", nullptr, nullptr, nullptr);
    const double append = medianMs(11, [&] {
        sqlite3_exec(agenda, "INSERT INTO notas (fecha, hora, texto) VALUES ('01/01/2030', '10:00', 'añadida')",
                     nullptr, nullptr, nullptr);
    });
    sqlite3_exec(agenda, "DELETE FROM notas WHERE fecha = '01/01/2030'", nullptr, nullptr, nullptr);
    sqlite3_close(agenda);
    std::printf("%.3f %.2f\n", step, append);
    return 0;
}

std::vector<double> run(const QStringList &arguments)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    std::vector<double> values;
    for (const QByteArray &value : child.readAllStandardOutput().trimmed().split(' '))
        values.push_back(value.toDouble());
    return values;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.value(1) == QLatin1String("--session"))
        return session(arguments.value(2), arguments.value(3));
    if (arguments.value(1) == QLatin1String("--copy"))
        return copy(arguments.value(2));
    if (arguments.value(1) == QLatin1String("--raw"))
        return raw(arguments.value(2));

    const QString folder = arguments.value(1, QDir::tempPath());
    const int rounds = arguments.value(2, QStringLiteral("3")).toInt();
    std::vector<int> sizes;
    for (int i = 3; i < arguments.size(); ++i)
        sizes.push_back(arguments[i].toInt());
    if (sizes.empty())
        sizes = {1000, 20000, 200000, 1000000};
    const QString cache = QDir(folder).filePath(QStringLiteral("cache"));
    for (const int size : sizes) {
        make(agendaOf(folder, size), size);
        run({QStringLiteral("--session"), agendaOf(folder, size), cache}); // the index made once
        run({QStringLiteral("--raw"), agendaOf(folder, size)});
    }
    std::map<int, std::vector<std::vector<double>>> figures;
    for (int round = 0; round < rounds; ++round) {
        for (const int size : sizes) {
            // After the last round's copy appended to it, the agenda has changed since the cache saw
            // it; right after, it has not.
            std::vector<double> all = run({QStringLiteral("--session"), agendaOf(folder, size), cache});
            all.resize(6);
            const std::vector<double> again = run({QStringLiteral("--session"), agendaOf(folder, size), cache});
            all.push_back(again.size() > 5 ? again[0] : 0);
            all.push_back(again.size() > 5 ? again[5] : 0);
            for (const double value : run({QStringLiteral("--copy"), agendaOf(folder, size)}))
                all.push_back(value);
            for (const double value : run({QStringLiteral("--raw"), agendaOf(folder, size)}))
                all.push_back(value);
            figures[size].push_back(all);
        }
    }
    std::printf("%9s %9s %9s %9s %8s %8s %9s %9s %9s %9s %9s %9s %9s %9s %9s\n", "entries", "ready ms", "first ms",
                "step ms", "+MB 1st", "+MB all", "start ms", "ready ag.", "start ag.", "copy ms", "append max",
                "append med", "max, alone", "raw step", "raw append");
    for (const int size : sizes) {
        std::printf("%9d", size);
        for (size_t column = 0; column < 14; ++column) {
            std::vector<double> values;
            for (const std::vector<double> &round : figures[size])
                values.push_back(round.size() > column ? round[column] : 0);
            std::printf(" %9.3f", median(values));
        }
        std::printf("\n");
    }
    return 0;
}
