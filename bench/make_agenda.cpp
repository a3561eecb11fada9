// Writes an agenda of a given size for measuring: quillomar_make_agenda FILE ENTRIES [DAY]
//
// FILE (a new quillomar.mdb, or one with no entries yet) gets ENTRIES diary entries. The week of
// DAY (dd/mm/yyyy, today when left out) and the week after it hold 140 entries each, 20 a day,
// so the week shown at start and the one "Semana Siguiente" brings are the same at every size; the
// rest lie over the thirty years before. One entry in ten has a note of 200 to 2,000 characters,
// one in twenty an alarm (none in the weeks around DAY, so none rings while measuring); short
// texts run from 15 to 80 characters, with accents. The same arguments give the same file.
#include "data/DateText.h"
#include "data/store/Database.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <cstdio>
#include <random>
#include <sqlite3.h>

namespace {

const char *const Words[] = {"reunión", "médico",  "llamar",   "García", "informe", "café",    "revisión", "año",
                             "entrega", "pequeño", "cumple",   "Núñez",  "cuentas", "jardín",  "papeles",  "banco",
                             "viaje",   "comida",  "dentista", "Martín", "coche",   "colegio", "envío",    "plazo"};

std::string sentence(std::mt19937 &random, size_t minimum, size_t maximum)
{
    const size_t length = std::uniform_int_distribution<size_t>(minimum, maximum)(random);
    std::string text;
    while (text.size() < length) {
        if (!text.empty())
            text += ' ';
        text += Words[random() % std::size(Words)];
    }
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FILE ENTRIES [DAY dd/mm/yyyy]\n", argv[0]);
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    const long long entries = std::atoll(argv[2]);
    const QDate day = argc > 3 ? DateText::toDate(QString::fromLocal8Bit(argv[3])) : QDate::currentDate();
    if (!day.isValid() || entries < 280) {
        std::fprintf(stderr, "need a valid day and at least 280 entries\n");
        return 2;
    }
    {
        // The program's own tables and indexes, made as the program makes them.
        QString error;
        if (!Database::open(file, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }

    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(file).constData(), &db) != SQLITE_OK)
        return 1;
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO notas (fecha, hora, horaalarma, texto, nota) VALUES (?, ?, ?, ?, ?)", -1,
                       &insert, nullptr);

    std::mt19937 random(25);
    const QDate monday = day.addDays(1 - day.dayOfWeek());
    const QDate firstDay = monday.addYears(-30);
    const long long shown = 280;
    const long long spread = monday.addDays(-14).toJulianDay() - firstDay.toJulianDay();
    for (long long i = 0; i < entries; ++i) {
        // The two weeks measured first, then the years before them.
        const QDate date =
            i < shown ? monday.addDays(i / 20) : firstDay.addDays((i - shown) * spread / (entries - shown));
        const std::string fecha = DateText::fromDate(date).toStdString();
        char hora[6];
        std::snprintf(hora, sizeof hora, "%02d:%02d", int(7 + random() % 14), int(random() % 4 * 15));
        const std::string texto = sentence(random, 15, 80);
        const std::string nota = i % 10 == 3 ? sentence(random, 200, 2000) : std::string();
        const bool alarm = i >= shown && i % 20 == 7;
        sqlite3_bind_text(insert, 1, fecha.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, hora, -1, SQLITE_TRANSIENT);
        if (alarm)
            sqlite3_bind_text(insert, 3, hora, -1, SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(insert, 3);
        sqlite3_bind_text(insert, 4, texto.c_str(), -1, SQLITE_TRANSIENT);
        if (nota.empty())
            sqlite3_bind_null(insert, 5);
        else
            sqlite3_bind_text(insert, 5, nota.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
            return 1;
        }
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    const int status = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return status == SQLITE_OK ? 0 : 1;
}
