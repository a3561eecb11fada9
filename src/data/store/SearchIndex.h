#pragma once

#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>
#include <QWaitCondition>
#include <atomic>
#include <map>
#include <optional>
#include <string>

class Database;
class SearchIndexWorker;
struct sqlite3;
struct sqlite3_stmt;

// Where the diary's search that ignores case and accents finds its candidates quickly at any size
// of the diary, without the agenda's texts folded on the heap: an FTS5 trigram index over the
// folded texts and notes, in a cache file of the program's own, outside the agenda (which holds
// nothing of it). It is built and kept up to date on a thread of its own; until it is up to date
// with every write of another program, find() declines and the search reads the agenda itself.
// Another program's writes are mostly few, and the agenda's list of changes names them: find()
// waits a little for the index to fold those, rather than read the whole agenda.
//
// The index only narrows: every entry it offers is checked again against the agenda by the same
// rule as always (TextMatch::containsAccentsFolded), so it finds exactly what the rule finds.
class SearchIndex final : public QObject
{
    Q_OBJECT

public:
    // The index of the agenda open in agenda, in a file of cacheFolder; starts bringing it up
    // to date at once.
    // Looking every entry over (a new cache, or changes the agenda's list cannot tell) waits
    // lookOverAfterMs from now: it is long work on a large agenda, and the first moments of a
    // session are the user's.
    SearchIndex(Database &agenda, const QString &cacheFolder, int lookOverAfterMs = 0);
    ~SearchIndex() override;

    static QString cacheFileOf(const QString &agendaPath, const QString &cacheFolder);
    QString cacheFile() const { return m_cachePath; }

    // The numero of the first entry after from (or, descending, the last before it) whose texto or
    // nota holds folded (TextMatch::foldAccents, not empty); -1 when none does. Nothing when the
    // index cannot answer yet.
    std::optional<qint64> find(const std::string &folded, qint64 from, bool descending);
    // Up to date with every write another program made that this one has seen.
    bool ready() const { return m_synced == m_requested; }
    // The cache records that the index matches the agenda as it is now: the next session's index
    // is ready at once, unless the agenda changes before.
    bool remembered() const { return m_remembered; }

    // How long find() waits at most for the index to catch up with another program's writes
    // before it declines, for an agenda of at least fromBytes (a smaller one is read faster than
    // the index catches up); it waits only while the index is not looking every entry over.
    void setPatience(int ms, qint64 fromBytes)
    {
        m_patienceMs = ms;
        m_patienceFromBytes = fromBytes;
    }

    // This program wrote the entry with this numero (any write, committed or not).
    void entryWritten(qint64 key);
    // The agenda was replaced as a whole.
    void everythingChanged();

signals:
    // The index is ready (again).
    void becameReady();

private:
    bool current();
    bool agendaUnchanged();
    void rememberIfUnchanged(const QByteArray &state, quint64 mark);
    void requestSync(bool rebuild);
    void syncDone(int request, bool ok, bool remembered);
    // Waits, once per request and at most m_patienceMs, for the request's sync to end, unless it
    // has to look every entry over.
    void settle();
    void sendWritten();
    bool openQuery();
    void closeQuery();
    // 1 when the entry holds folded by the rule, 0 when not, -1 when the agenda cannot be read.
    int confirmed(qint64 key, const std::string &folded);
    bool candidates(const std::string &folded, qint64 from, bool descending, QList<qint64> *keys);

    Database &m_agenda;
    QString m_cachePath;
    QThread m_thread;
    std::atomic_bool m_stop = false;
    SearchIndexWorker *m_worker = nullptr;
    sqlite3 *m_query = nullptr;
    sqlite3_stmt *m_statements[4] = {}; // by trigrams or not, ascending or not
    int m_requested = 0;
    std::atomic_int m_latestRequest = 0; // m_requested, for the worker's thread
    int m_synced = -1;
    int m_settledFor = 0;
    int m_patienceMs = 40;
    qint64 m_patienceFromBytes = 4 << 20;
    // Told by the worker's thread as each request's sync ends or turns to look every entry over.
    QMutex m_settleLock;
    QWaitCondition m_settled;
    int m_finished = 0;
    bool m_finishedOk = false;
    bool m_finishedRemembered = false;
    int m_lookingOver = 0;
    qint64 m_dataVersion = -1;
    bool m_remembered = false;
    // Entries written since the worker last folded them, with the mark of their last write: the
    // index may hold their old texts, so they are checked against the agenda whatever it says.
    std::map<qint64, quint64> m_written;
    quint64 m_marks = 0;
    QList<qint64> m_toSend;
};
