#include "SearchIndexWorker.h"

#include "ChangeLog.h"
#include "Statement.h"
#include "TextMatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <limits>
#include <sqlite3.h>
#include <string_view>
#include <sys/stat.h>
#include <tuple>
#include <vector>

const char *const SearchIndexWorker::FoldedTable = "plegado";

namespace {

// Raised whenever what the cache holds changes meaning: an older cache is made again.
constexpr int CacheFormat = 1;
// Entries read from the agenda in one statement and folded into the index in one transaction:
// each read holds the agenda's read lock, which a write of the diary waits for, only for as long
// as these take, and the full-text table holds what a transaction adds in memory until it commits
// (at 2,000 entries a pass over a large agenda held 4 MB more).
constexpr int ChunkRows = 500;

std::string_view textOf(sqlite3_stmt *statement, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return text ? std::string_view(text, size_t(sqlite3_column_bytes(statement, column))) : std::string_view();
}

// FNV-1a: the same on every machine and every run, unlike qHash, so a cache outlives the run.
qint64 hashOf(std::string_view texto, std::string_view nota)
{
    quint64 hash = 14695981039346656037ULL;
    const auto add = [&hash](std::string_view text) {
        for (const char c : text) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 1099511628211ULL;
        }
    };
    add(texto);
    hash ^= 0x100; // where texto ends, so that moving text between the two is a change
    add(nota);
    return qint64(hash);
}

// The agenda's state (SearchIndexWorker::stateOf), inside a read transaction of agenda: the read of
// its first page takes the read lock, which no commit of any client passes before the transaction
// ends, so the header read here is the state every read of the same transaction sees.
QByteArray headerState(sqlite3 *agenda)
{
    Statement cookie(agenda, "PRAGMA schema_version");
    if (!cookie || sqlite3_step(cookie.get()) != SQLITE_ROW)
        return {};
    sqlite3_file *file = nullptr;
    unsigned char header[100] = {};
    sqlite3_int64 size = 0;
    struct stat info = {};
    if (sqlite3_file_control(agenda, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods || file->pMethods->xRead(file, header, sizeof header, 0) != SQLITE_OK ||
        file->pMethods->xFileSize(file, &size) != SQLITE_OK || stat(sqlite3_db_filename(agenda, "main"), &info) != 0)
        return {};
    // Bytes 18 and 19 are 1 in rollback-journal mode only.
    if (header[18] != 1 || header[19] != 1)
        return {};
    return QByteArray(reinterpret_cast<const char *>(header) + 24, 8).toHex() + ' ' +
        QByteArray(reinterpret_cast<const char *>(header) + 40, 4).toHex() + ' ' + QByteArray::number(qint64(size)) +
        ' ' + QByteArray::number(quint64(info.st_dev)) + ' ' + QByteArray::number(quint64(info.st_ino)) + ' ' +
        QByteArray::number(qint64(info.st_mtim.tv_sec)) + '.' + QByteArray::number(qint64(info.st_mtim.tv_nsec)) + ' ' +
        QByteArray::number(qint64(info.st_ctim.tv_sec)) + '.' + QByteArray::number(qint64(info.st_ctim.tv_nsec));
}

} // namespace

QByteArray SearchIndexWorker::stateOf(sqlite3 *agenda)
{
    if (sqlite3_exec(agenda, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        return {};
    const QByteArray state = headerState(agenda);
    sqlite3_exec(agenda, "COMMIT", nullptr, nullptr, nullptr);
    return state;
}

QByteArray SearchIndexWorker::rememberedState(sqlite3 *cache)
{
    Statement remembered(cache,
                         "SELECT valor FROM datos WHERE clave = 'estado' AND "
                         "(SELECT valor FROM datos WHERE clave = 'formato') = ?1");
    if (!remembered)
        return {};
    sqlite3_bind_int(remembered.get(), 1, CacheFormat);
    if (sqlite3_step(remembered.get()) != SQLITE_ROW)
        return {};
    const std::string_view state = textOf(remembered.get(), 0);
    return QByteArray(state.data(), qsizetype(state.size()));
}

bool SearchIndexWorker::remember(const QByteArray &state)
{
    if (!openCache())
        return false;
    Statement remembered(m_cache, "INSERT OR REPLACE INTO datos VALUES ('estado', ?1)");
    if (!remembered)
        return failed(sqlite3_extended_errcode(m_cache));
    sqlite3_bind_text(remembered.get(), 1, state.constData(), int(state.size()), SQLITE_TRANSIENT);
    return step(remembered.get());
}

// Before the index changes: until it is known to match the agenda again, no state is remembered.
bool SearchIndexWorker::forget()
{
    return exec("DELETE FROM datos WHERE clave = 'estado'");
}

struct SearchIndexWorker::Row
{
    qint64 key = 0;
    std::string texto, nota;
    qint64 length() const { return qint64(texto.size() + nota.size()); }
    qint64 hash() const { return hashOf(texto, nota); }
};

SearchIndexWorker::SearchIndexWorker(QString agendaPath, QString cachePath, const std::atomic_bool &stop)
    : m_agendaPath(std::move(agendaPath))
    , m_cachePath(std::move(cachePath))
    , m_stop(stop)
{}

SearchIndexWorker::~SearchIndexWorker()
{
    rest();
}

void SearchIndexWorker::rest()
{
    closeCache();
    sqlite3_close_v2(m_agenda);
    m_agenda = nullptr;
}

bool SearchIndexWorker::failed(int rc)
{
    if ((rc & 0xFF) == SQLITE_CORRUPT || (rc & 0xFF) == SQLITE_NOTADB)
        m_cacheDamaged = true;
    return false;
}

bool SearchIndexWorker::exec(const char *sql)
{
    const int rc = sqlite3_exec(m_cache, sql, nullptr, nullptr, nullptr);
    return rc == SQLITE_OK || failed(sqlite3_extended_errcode(m_cache));
}

bool SearchIndexWorker::openAgenda()
{
    if (m_agenda)
        return true;
    // Read-only: nothing of the index is ever written into the agenda.
    if (sqlite3_open_v2(m_agendaPath.toUtf8().constData(), &m_agenda, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(m_agenda);
        m_agenda = nullptr;
        return false;
    }
    sqlite3_busy_timeout(m_agenda, 1000);
    // Read once from start to end: a large page cache would only hold memory.
    sqlite3_exec(m_agenda, "PRAGMA cache_size = -256", nullptr, nullptr, nullptr);
    return true;
}

void SearchIndexWorker::closeCache()
{
    for (sqlite3_stmt *&statement : m_kept) {
        sqlite3_finalize(statement);
        statement = nullptr;
    }
    sqlite3_close_v2(m_cache);
    m_cache = nullptr;
}

bool SearchIndexWorker::createCache()
{
    const QByteArray agenda = QFileInfo(m_agendaPath).absoluteFilePath().toUtf8();
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    const QByteArray schema = QStringLiteral("CREATE TABLE IF NOT EXISTS datos (clave TEXT PRIMARY KEY, valor);"
                                             "CREATE TABLE filas (numero INTEGER PRIMARY KEY, longitud INTEGER, "
                                             "resumen INTEGER);"
                                             "CREATE VIRTUAL TABLE %1 USING fts5(texto, nota, "
                                             "tokenize='trigram case_sensitive 1', detail=none);")
                                  .arg(QLatin1String(FoldedTable))
                                  .toUtf8();
    bool ok = exec(schema.constData());
    Statement meta(m_cache, "INSERT INTO datos VALUES ('formato', ?1), ('agenda', ?2)");
    ok = ok && meta;
    if (ok) {
        sqlite3_bind_int(meta.get(), 1, CacheFormat);
        sqlite3_bind_text(meta.get(), 2, agenda.constData(), int(agenda.size()), SQLITE_TRANSIENT);
        ok = sqlite3_step(meta.get()) == SQLITE_DONE;
    }
    if (!ok || !exec("COMMIT")) {
        exec("ROLLBACK");
        return false;
    }
    return true;
}

bool SearchIndexWorker::openCache()
{
    if (m_cache && !m_cacheDamaged)
        return true;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (m_cacheDamaged || attempt > 0) {
            // A damaged cache, or one made for another agenda or format: it is only a cache.
            closeCache();
            for (const char *suffix : {"", "-wal", "-shm", "-journal"})
                QFile::remove(m_cachePath + QLatin1String(suffix));
            m_cacheDamaged = false;
        }
        QDir().mkpath(QFileInfo(m_cachePath).absolutePath());
        if (sqlite3_open_v2(m_cachePath.toUtf8().constData(), &m_cache, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK) {
            closeCache();
            return false;
        }
        sqlite3_extended_result_codes(m_cache, 1);
        sqlite3_busy_timeout(m_cache, 1000);
        // The searching side reads while this side writes. The index grows by appends, which a
        // small page cache serves as well as a large one; the pages stay in the system's cache.
        if (!exec("PRAGMA journal_mode = WAL") || !exec("PRAGMA synchronous = NORMAL") ||
            !exec("PRAGMA cache_size = -256"))
            continue;
        Statement meta(m_cache,
                       "SELECT (SELECT valor FROM datos WHERE clave = 'formato'), "
                       "(SELECT valor FROM datos WHERE clave = 'agenda')");
        if (!meta) {
            // No table of ours: a new file, or one that is not a cache.
            Statement tables(m_cache, "SELECT count(*) FROM sqlite_schema");
            if (tables && sqlite3_step(tables.get()) == SQLITE_ROW && sqlite3_column_int(tables.get(), 0) == 0 &&
                createCache() && prepareKept())
                return true;
            failed(sqlite3_extended_errcode(m_cache));
            continue;
        }
        if (sqlite3_step(meta.get()) != SQLITE_ROW) {
            failed(sqlite3_extended_errcode(m_cache));
            continue;
        }
        const QString agenda = QString::fromUtf8(textOf(meta.get(), 1));
        if (sqlite3_column_int(meta.get(), 0) == CacheFormat && agenda == QFileInfo(m_agendaPath).absoluteFilePath() &&
            prepareKept())
            return true;
    }
    closeCache();
    return false;
}

bool SearchIndexWorker::step(sqlite3_stmt *statement)
{
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    return rc == SQLITE_DONE || failed(sqlite3_extended_errcode(m_cache));
}

bool SearchIndexWorker::store(const Row &row, bool known)
{
    if (known && !remove(row.key))
        return false;
    m_texto.clear();
    m_nota.clear();
    TextMatch::appendAccentsFolded(row.texto, m_texto);
    TextMatch::appendAccentsFolded(row.nota, m_nota);
    sqlite3_stmt *folded = m_kept[InsertFolded];
    sqlite3_bind_int64(folded, 1, row.key);
    sqlite3_bind_text(folded, 2, m_texto.data(), int(m_texto.size()), SQLITE_STATIC);
    sqlite3_bind_text(folded, 3, m_nota.data(), int(m_nota.size()), SQLITE_STATIC);
    sqlite3_stmt *noted = m_kept[InsertRow];
    sqlite3_bind_int64(noted, 1, row.key);
    sqlite3_bind_int64(noted, 2, row.length());
    sqlite3_bind_int64(noted, 3, row.hash());
    return step(folded) && step(noted);
}

bool SearchIndexWorker::remove(qint64 key)
{
    sqlite3_bind_int64(m_kept[DeleteFolded], 1, key);
    sqlite3_bind_int64(m_kept[DeleteRow], 1, key);
    return step(m_kept[DeleteFolded]) && step(m_kept[DeleteRow]);
}

bool SearchIndexWorker::prepareKept()
{
    const QLatin1String folded(FoldedTable);
    const QByteArray sql[KeptCount] = {
        QStringLiteral("INSERT INTO %1 (rowid, texto, nota) VALUES (?1, ?2, ?3)").arg(folded).toUtf8(),
        QByteArrayLiteral("INSERT INTO filas VALUES (?1, ?2, ?3)"),
        QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(folded).toUtf8(),
        QByteArrayLiteral("DELETE FROM filas WHERE numero = ?1"),
    };
    for (int i = 0; i < KeptCount; ++i)
        if (sqlite3_prepare_v3(m_cache, sql[i].constData(), -1, SQLITE_PREPARE_PERSISTENT, &m_kept[i], nullptr) !=
            SQLITE_OK)
            return failed(sqlite3_extended_errcode(m_cache));
    return true;
}

bool SearchIndexWorker::scanAll()
{
    Statement entries(m_agenda, "SELECT numero, texto, nota FROM notas WHERE numero > ?1 ORDER BY numero LIMIT ?2");
    Statement known(m_cache,
                    "SELECT numero, longitud, resumen FROM filas WHERE numero > ?1 AND numero <= ?2 "
                    "ORDER BY numero");
    Statement past(m_cache, "SELECT numero FROM filas WHERE numero > ?1");
    if (!entries || !known || !past)
        return failed(sqlite3_extended_errcode(m_cache));
    std::vector<Row> rows;
    qint64 last = std::numeric_limits<qint64>::min();
    for (;;) {
        if (m_stop)
            return false;
        rows.clear();
        sqlite3_bind_int64(entries.get(), 1, last);
        sqlite3_bind_int(entries.get(), 2, ChunkRows);
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(entries.get())) == SQLITE_ROW)
            rows.push_back({sqlite3_column_int64(entries.get(), 0), std::string(textOf(entries.get(), 1)),
                            std::string(textOf(entries.get(), 2))});
        sqlite3_reset(entries.get());
        if (rc != SQLITE_DONE)
            return false;

        // What the cache holds of the same stretch of numbers (all above, after the last entry).
        const qint64 upper = rows.empty() ? std::numeric_limits<qint64>::max() : rows.back().key;
        std::vector<std::tuple<qint64, qint64, qint64>> held;
        sqlite3_bind_int64(known.get(), 1, last);
        sqlite3_bind_int64(known.get(), 2, upper);
        while ((rc = sqlite3_step(known.get())) == SQLITE_ROW)
            held.emplace_back(sqlite3_column_int64(known.get(), 0), sqlite3_column_int64(known.get(), 1),
                              sqlite3_column_int64(known.get(), 2));
        sqlite3_reset(known.get());
        if (rc != SQLITE_DONE)
            return failed(sqlite3_extended_errcode(m_cache));

        if (!exec("BEGIN IMMEDIATE"))
            return false;
        size_t h = 0;
        bool ok = true;
        for (const Row &row : rows) {
            while (ok && h < held.size() && std::get<0>(held[h]) < row.key)
                ok = remove(std::get<0>(held[h++]));
            const bool isHeld = h < held.size() && std::get<0>(held[h]) == row.key;
            const bool same = isHeld && std::get<1>(held[h]) == row.length() && std::get<2>(held[h]) == row.hash();
            if (ok && !same)
                ok = store(row, isHeld);
            if (isHeld)
                ++h;
        }
        while (ok && h < held.size())
            ok = remove(std::get<0>(held[h++]));
        if (!ok || !exec("COMMIT")) {
            exec("ROLLBACK");
            return false;
        }
        if (rows.size() < size_t(ChunkRows))
            return true;
        last = upper;
    }
}

bool SearchIndexWorker::sync(bool rebuild, bool *remembered, const std::function<void()> &lookingOver)
{
    if (rebuild)
        m_cacheDamaged = true;
    if (!openAgenda())
        return false;
    // A cache found damaged half-way is made again once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!openCache())
            return false;
        QByteArray state;
        // What the agenda's list of changes names is all there is to fold again, when it is whole.
        const Refolded refolded = m_cacheDamaged ? Refolded::NoList : refold({}, true, &state);
        if (refolded == Refolded::Done) {
            *remembered = !state.isEmpty() && remember(state);
            return true;
        }
        if (refolded == Refolded::NoList) {
            // Searches read the agenda itself meanwhile: none waits for this.
            if (lookingOver)
                lookingOver();
            while (!m_stop && !m_lookOverNotBefore.hasExpired())
                QThread::msleep(quint64(std::clamp<qint64>(m_lookOverNotBefore.remainingTime(), 1, 50)));
            if (m_stop)
                return false;
            // Read before and after the pass: when no commit came between, the pass read that state;
            // with a list of changes, what changed meanwhile is folded from it after the pass.
            QByteArray before;
            std::optional<ChangeLog::Position> from;
            if (sqlite3_exec(m_agenda, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK) {
                before = headerState(m_agenda);
                from = ChangeLog::current(m_agenda);
                sqlite3_exec(m_agenda, "COMMIT", nullptr, nullptr, nullptr);
            }
            if (forget() && setPosition({}) && scanAll()) {
                if (from && setPosition(from) && refold({}, true, &state) == Refolded::Done)
                    *remembered = !state.isEmpty() && remember(state);
                else
                    *remembered = !before.isEmpty() && before == stateOf(m_agenda) && remember(before);
                // The pages read and written stay in the file: nothing is kept for the next change.
                sqlite3_db_release_memory(m_agenda);
                sqlite3_db_release_memory(m_cache);
                return true;
            }
        }
        exec("ROLLBACK");
        if (!m_cacheDamaged)
            return false;
    }
    return false;
}

std::optional<ChangeLog::Position> SearchIndexWorker::position()
{
    Statement recorded(m_cache, "SELECT valor FROM datos WHERE clave = 'cambios'");
    if (!recorded || sqlite3_step(recorded.get()) != SQLITE_ROW)
        return {};
    const std::string_view text = textOf(recorded.get(), 0);
    return ChangeLog::Position::fromText(QByteArray(text.data(), qsizetype(text.size())));
}

bool SearchIndexWorker::setPosition(const std::optional<ChangeLog::Position> &position)
{
    if (!position)
        return exec("DELETE FROM datos WHERE clave = 'cambios'");
    Statement recorded(m_cache, "INSERT OR REPLACE INTO datos VALUES ('cambios', ?1)");
    if (!recorded)
        return failed(sqlite3_extended_errcode(m_cache));
    const QByteArray text = position->text();
    sqlite3_bind_text(recorded.get(), 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    return step(recorded.get());
}

bool SearchIndexWorker::reindex(const QList<qint64> &keys, QByteArray *state)
{
    if (!openAgenda() || !openCache())
        return false;
    return refold(std::vector<qint64>(keys.begin(), keys.end()), false, state) == Refolded::Done;
}

SearchIndexWorker::Refolded SearchIndexWorker::refold(std::vector<qint64> keys, bool listed, QByteArray *state)
{
    const std::optional<ChangeLog::Position> from = position();
    if (listed && !from)
        return Refolded::NoList;
    // The entries are read in one read transaction with the state they belong to.
    std::vector<std::pair<Row, bool>> entries; // and whether the agenda still holds it
    std::optional<ChangeLog::Position> now;
    {
        Statement entry(m_agenda, "SELECT texto, nota FROM notas WHERE numero = ?1");
        if (!entry || sqlite3_exec(m_agenda, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
            return Refolded::Failed;
        *state = headerState(m_agenda);
        std::vector<qint64> changed;
        ChangeLog::Position at;
        if (from && ChangeLog::changedSince(m_agenda, *from, &changed, &at)) {
            keys.insert(keys.end(), changed.begin(), changed.end());
            now = at;
        } else if (listed) {
            sqlite3_exec(m_agenda, "COMMIT", nullptr, nullptr, nullptr);
            return Refolded::NoList;
        }
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        int rc = SQLITE_DONE;
        for (const qint64 key : keys) {
            sqlite3_bind_int64(entry.get(), 1, key);
            rc = sqlite3_step(entry.get());
            if (rc != SQLITE_ROW && rc != SQLITE_DONE)
                break;
            entries.push_back(
                {{key, std::string(textOf(entry.get(), 0)), std::string(textOf(entry.get(), 1))}, rc == SQLITE_ROW});
            sqlite3_reset(entry.get());
        }
        sqlite3_reset(entry.get());
        sqlite3_exec(m_agenda, "COMMIT", nullptr, nullptr, nullptr);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            return Refolded::Failed;
    }
    Statement known(m_cache, "SELECT 1 FROM filas WHERE numero = ?1");
    if (!known || !exec("BEGIN IMMEDIATE"))
        return Refolded::Failed;
    bool ok = forget();
    for (const auto &[row, held] : entries) {
        if (!ok)
            break;
        sqlite3_bind_int64(known.get(), 1, row.key);
        const bool isHeld = sqlite3_step(known.get()) == SQLITE_ROW;
        sqlite3_reset(known.get());
        ok = held ? store(row, isHeld) : !isHeld || remove(row.key);
    }
    // Folded up to where the list now stands; a list that cannot be followed is not followed again.
    ok = ok && (now || !from || setPosition({})) && (!now || setPosition(now));
    if (!ok || !exec("COMMIT")) {
        exec("ROLLBACK");
        return Refolded::Failed;
    }
    return Refolded::Done;
}
