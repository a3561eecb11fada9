#include "SearchIndex.h"

#include "Database.h"
#include "SearchIndexWorker.h"
#include "TextMatch.h"
#include "data/Schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <limits>
#include <sqlite3.h>
#include <vector>
#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

// Candidates asked of the index at a time; most searches stop at the first.
constexpr int PageRows = 64;
// Trigrams of a long text looked up at most: a few spread over it narrow as well as all of them.
constexpr size_t MostTrigrams = 8;

// The index is background work. Qt leaves a thread's priority alone under Linux's ordinary
// scheduler, so the thread lowers its own nice value (each thread has its own): a first pass over
// a large agenda then yields the processor to the window, the X server and whatever else the user
// is doing, and still runs whenever they leave it idle.
void yieldToForeground()
{
#ifdef Q_OS_LINUX
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
#endif
}

bool damagedCode(int rc)
{
    return (rc & 0xFF) == SQLITE_CORRUPT || (rc & 0xFF) == SQLITE_NOTADB;
}

// An FTS5 query that every text holding folded (three characters or more) meets: each of some of
// its trigrams, quoted, so that no character of it is read as query syntax.
QByteArray trigramQuery(const std::u32string &folded)
{
    const size_t count = folded.size() - 2;
    std::vector<size_t> starts;
    for (size_t i = 0; i < std::min(count, MostTrigrams); ++i)
        starts.push_back(count <= MostTrigrams ? i : i * (count - 1) / (MostTrigrams - 1));
    QStringList terms;
    for (const size_t start : starts) {
        QString trigram = QString::fromUcs4(folded.data() + start, 3);
        trigram.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        terms << QLatin1Char('"') + trigram + QLatin1Char('"');
    }
    terms.removeDuplicates();
    return terms.join(QStringLiteral(" AND ")).toUtf8();
}

} // namespace

SearchIndex::SearchIndex(Database &agenda, const QString &cacheFolder, int lookOverAfterMs)
    : m_agenda(agenda)
    , m_cachePath(cacheFileOf(agenda.fileName(), cacheFolder))
{
    m_worker = new SearchIndexWorker(agenda.fileName(), m_cachePath, m_stop);
    m_worker->setLookOverNotBefore(QDeadlineTimer(lookOverAfterMs));
    m_worker->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::started, m_worker, &yieldToForeground, Qt::DirectConnection);
    m_thread.start();
    bool ok = false;
    // Read first: a commit of another program after it shows in current(), before it in the state.
    m_dataVersion = m_agenda.scalar(QStringLiteral("PRAGMA data_version"), {}, &ok).toLongLong();
    // The index as the last session left it answers at once when the agenda is as it then was.
    if (ok && agendaUnchanged())
        m_synced = m_requested;
    else
        requestSync(false);
}

SearchIndex::~SearchIndex()
{
    m_stop = true;
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
    closeQuery();
}

QString SearchIndex::cacheFileOf(const QString &agendaPath, const QString &cacheFolder)
{
    const QByteArray path = QFileInfo(agendaPath).absoluteFilePath().toUtf8();
    const QByteArray id = QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(16);
    return QDir(cacheFolder).filePath(QStringLiteral("busqueda-%1.db").arg(QString::fromLatin1(id)));
}

bool SearchIndex::agendaUnchanged()
{
    sqlite3 *agenda = nullptr;
    QByteArray state;
    if (sqlite3_open_v2(m_agenda.fileName().toUtf8().constData(), &agenda, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
        state = SearchIndexWorker::stateOf(agenda);
    sqlite3_close_v2(agenda);
    m_remembered = !state.isEmpty() && openQuery() && SearchIndexWorker::rememberedState(m_query) == state;
    return m_remembered;
}

void SearchIndex::requestSync(bool rebuild)
{
    m_remembered = false;
    const int request = ++m_requested;
    m_latestRequest = request;
    closeQuery();
    QMetaObject::invokeMethod(m_worker, [this, request, rebuild] {
        // A later request, already queued, does the same work again.
        if (request != m_latestRequest)
            return;
        bool remembered = false;
        const bool ok = m_worker->sync(rebuild, &remembered, [this, request] {
            const QMutexLocker locker(&m_settleLock);
            m_lookingOver = request;
            m_settled.wakeAll();
        });
        m_worker->rest();
        {
            const QMutexLocker locker(&m_settleLock);
            m_finished = request;
            m_finishedOk = ok;
            m_finishedRemembered = remembered;
            m_settled.wakeAll();
        }
        QMetaObject::invokeMethod(
            this, [this, request, ok, remembered] { syncDone(request, ok, remembered); }, Qt::QueuedConnection);
    });
}

void SearchIndex::syncDone(int request, bool ok, bool remembered)
{
    // A failed sync (the cache folder cannot be written) is not tried again until the agenda
    // changes: the search reads the agenda itself meanwhile.
    if (!ok || request != m_requested || m_synced == request)
        return;
    m_synced = request;
    m_remembered = remembered && m_written.empty();
    emit becameReady();
}

void SearchIndex::settle()
{
    if (ready() || m_settledFor == m_requested || QFileInfo(m_agenda.fileName()).size() < m_patienceFromBytes)
        return;
    const int request = m_settledFor = m_requested;
    const QDeadlineTimer deadline(m_patienceMs);
    QMutexLocker locker(&m_settleLock);
    while (m_finished != request && m_lookingOver != request)
        if (!m_settled.wait(&m_settleLock, deadline))
            break;
    if (m_finished != request)
        return;
    const bool ok = m_finishedOk;
    const bool remembered = m_finishedRemembered;
    locker.unlock();
    syncDone(request, ok, remembered);
}

void SearchIndex::entryWritten(qint64 key)
{
    m_remembered = false;
    m_written[key] = ++m_marks;
    // Sent once back in the event loop: the write is committed by then, so the worker reads the
    // entry as written.
    if (m_toSend.isEmpty())
        QMetaObject::invokeMethod(this, &SearchIndex::sendWritten, Qt::QueuedConnection);
    m_toSend << key;
}

void SearchIndex::sendWritten()
{
    const QList<qint64> keys = std::exchange(m_toSend, {});
    const quint64 mark = m_marks;
    QMetaObject::invokeMethod(m_worker, [this, keys, mark] {
        QByteArray state;
        const bool ok = m_worker->reindex(keys, &state);
        m_worker->rest();
        QMetaObject::invokeMethod(
            this,
            [this, keys, mark, ok, state] {
                if (!ok) {
                    requestSync(false);
                    return;
                }
                for (const qint64 key : keys)
                    if (const auto it = m_written.find(key); it != m_written.end() && it->second <= mark)
                        m_written.erase(it);
                rememberIfUnchanged(state, mark);
            },
            Qt::QueuedConnection);
    });
}

// The index matches the agenda in state (read with the entries just folded) when the index was up
// to date before, this program has written no entry since these were sent (each entry it wrote
// before was folded after its write was committed), and no other program has written since the
// last pass over the agenda; then the cache may remember it. The worker does so after any work
// already queued, and any later work forgets it first.
void SearchIndex::rememberIfUnchanged(const QByteArray &state, quint64 mark)
{
    bool ok = false;
    if (state.isEmpty() || mark != m_marks || !ready() ||
        m_agenda.scalar(QStringLiteral("PRAGMA data_version"), {}, &ok).toLongLong() != m_dataVersion || !ok)
        return;
    const int request = m_requested;
    QMetaObject::invokeMethod(m_worker, [this, state, mark, request] {
        const bool remembered = m_worker->remember(state);
        m_worker->rest();
        QMetaObject::invokeMethod(
            this,
            [this, mark, request, remembered] {
                m_remembered = remembered && mark == m_marks && request == m_requested;
            },
            Qt::QueuedConnection);
    });
}

void SearchIndex::everythingChanged()
{
    requestSync(false);
}

bool SearchIndex::current()
{
    bool ok = false;
    const qint64 dataVersion = m_agenda.scalar(QStringLiteral("PRAGMA data_version"), {}, &ok).toLongLong();
    if (!ok)
        return false;
    // Another program wrote the agenda: its changes are looked for before the index answers again.
    if (dataVersion != m_dataVersion) {
        m_dataVersion = dataVersion;
        requestSync(false);
    }
    settle();
    return ready() && openQuery();
}

bool SearchIndex::openQuery()
{
    if (m_query)
        return true;
    if (sqlite3_open_v2(m_cachePath.toUtf8().constData(), &m_query, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        closeQuery();
        return false;
    }
    sqlite3_extended_result_codes(m_query, 1);
    sqlite3_busy_timeout(m_query, 100);
    sqlite3_exec(m_query, "PRAGMA query_only = ON", nullptr, nullptr, nullptr);
    return true;
}

void SearchIndex::closeQuery()
{
    for (sqlite3_stmt *&statement : m_statements) {
        sqlite3_finalize(statement);
        statement = nullptr;
    }
    sqlite3_close_v2(m_query);
    m_query = nullptr;
}

bool SearchIndex::candidates(const std::string &folded, qint64 from, bool descending, QList<qint64> *keys)
{
    keys->clear();
    const std::u32string codePoints = QString::fromUtf8(folded.data(), qsizetype(folded.size())).toStdU32String();
    // Texts shorter than a trigram are looked for in the folded texts themselves, byte by byte.
    const bool trigrams = codePoints.size() >= 3;
    const int which = (trigrams ? 0 : 2) + (descending ? 1 : 0);
    sqlite3_stmt *&statement = m_statements[which];
    if (!statement) {
        const QString table = QLatin1String(SearchIndexWorker::FoldedTable);
        const QString filter = trigrams ? QStringLiteral("%1 MATCH ?1").arg(table)
                                        : QStringLiteral("(instr(texto, ?1) > 0 OR instr(nota, ?1) > 0)");
        const QByteArray sql =
            QStringLiteral("SELECT rowid FROM %1 WHERE %2 AND rowid %3 ?2 ORDER BY rowid %4 LIMIT %5")
                .arg(table, filter, descending ? QStringLiteral("<") : QStringLiteral(">"),
                     descending ? QStringLiteral("DESC") : QStringLiteral("ASC"))
                .arg(PageRows)
                .toUtf8();
        if (sqlite3_prepare_v3(m_query, sql.constData(), -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
            SQLITE_OK) {
            if (damagedCode(sqlite3_extended_errcode(m_query)))
                requestSync(true);
            return false;
        }
    }
    const QByteArray match = trigrams ? trigramQuery(codePoints) : QByteArray(folded.data(), qsizetype(folded.size()));
    sqlite3_bind_text(statement, 1, match.constData(), int(match.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(statement, 2, from);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        keys->append(sqlite3_column_int64(statement, 0));
    sqlite3_reset(statement);
    if (rc == SQLITE_DONE)
        return true;
    // A damaged cache is made again; the agenda answers meanwhile.
    if (damagedCode(sqlite3_extended_errcode(m_query)))
        requestSync(true);
    return false;
}

int SearchIndex::confirmed(qint64 key, const std::string &folded)
{
    sqlite3_stmt *statement =
        m_agenda.kept(QStringLiteral("SELECT \"%1\", \"%2\" FROM %3 WHERE \"%4\" = ?")
                          .arg(Schema::Notas::Texto, Schema::Notas::Nota, Schema::Notas::Table, Schema::Notas::Numero));
    if (!statement)
        return -1;
    sqlite3_bind_int64(statement, 1, key);
    const int rc = sqlite3_step(statement);
    int found = 0;
    if (rc == SQLITE_ROW) {
        for (int column = 0; column < 2 && !found; ++column) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
            found = text &&
                TextMatch::containsAccentsFolded({text, size_t(sqlite3_column_bytes(statement, column))}, folded);
        }
    } else if (rc != SQLITE_DONE) {
        found = -1;
        m_agenda.stepFailed();
    }
    sqlite3_reset(statement);
    return found;
}

std::optional<qint64> SearchIndex::find(const std::string &folded, qint64 from, bool descending)
{
    if (!current())
        return {};
    QList<qint64> page;
    qint64 at = from;
    for (;;) {
        if (!candidates(folded, at, descending, &page))
            return {};
        const bool full = page.size() == PageRows;
        const qint64 bound =
            full ? page.back() : (descending ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max());
        // Entries written since they were last folded are checked whatever the index says of them.
        std::vector<qint64> keys(page.begin(), page.end());
        if (descending) {
            for (auto it = m_written.lower_bound(at); it != m_written.begin();) {
                if ((--it)->first < bound)
                    break;
                keys.push_back(it->first);
            }
            std::sort(keys.begin(), keys.end(), std::greater<>());
        } else {
            for (auto it = m_written.upper_bound(at); it != m_written.end() && it->first <= bound; ++it)
                keys.push_back(it->first);
            std::sort(keys.begin(), keys.end());
        }
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        for (const qint64 key : keys) {
            const int found = confirmed(key, folded);
            if (found < 0)
                return {};
            if (found)
                return key;
        }
        if (!full)
            return -1;
        at = bound;
    }
}
