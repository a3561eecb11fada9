#pragma once

#include "ChangeLog.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The half of SearchIndex that runs on its thread: it reads the agenda through a read-only
// connection of its own and writes the cache file, so neither the diary's connection nor its
// thread ever waits on the folding of a text.
//
// The cache holds, per diary entry (rowid = numero), its texto and nota folded as
// TextMatch::foldAccents folds them, in an FTS5 table whose trigram index finds the entries that
// may hold a text, and beside it the length and hash of the entry's texts as the agenda holds
// them, which tell a changed entry from an unchanged one without folding it again.
class SearchIndexWorker final : public QObject
{
    Q_OBJECT

public:
    SearchIndexWorker(QString agendaPath, QString cachePath, const std::atomic_bool &stop);
    ~SearchIndexWorker() override;

    // Brings the whole cache up to date with the agenda: a new or damaged cache, or one made for
    // another agenda, is made again. The entries the agenda's list of changes names since the
    // index last read it are folded again; without a list it can follow, every entry whose texts
    // changed is (lookingOver is called first), each step reading a few thousand entries, so the
    // agenda is never held locked for long. With rebuild, the cache is thrown away first. False
    // when the cache cannot be made up to date; remembered when the cache records the state of the
    // agenda the index now matches.
    bool sync(bool rebuild, bool *remembered, const std::function<void()> &lookingOver = {});
    // Looking every entry over, the one long piece of work, waits until then (set before the
    // thread starts); folding what the list of changes names never waits.
    void setLookOverNotBefore(QDeadlineTimer when) { m_lookOverNotBefore = when; }
    // Folds again the entries with these numbers (or removes them, gone from the agenda), and
    // those the list of changes names; state is the agenda's state (stateOf) they were read in.
    bool reindex(const QList<qint64> &keys, QByteArray *state);
    // Records in the cache that the index matches the agenda in this state (stateOf).
    bool remember(const QByteArray &state);
    // Closes both files until the next piece of work: between changes, which are seldom, the
    // connections would only hold memory.
    void rest();

    // What tells the agenda's committed state from every other: its header's change counter (which
    // every commit of any client raises in rollback-journal mode), page count and schema cookie,
    // and the file's size, identity and times. Empty when it cannot be told (e.g. in WAL mode,
    // where a commit leaves the header alone).
    static QByteArray stateOf(sqlite3 *agenda);
    // The state of the agenda the index last matched, as the cache records it; empty if none.
    static QByteArray rememberedState(sqlite3 *cache);

    // The cache's tables, for the reading side.
    static const char *const FoldedTable;

private:
    struct Row;
    QDeadlineTimer m_lookOverNotBefore;
    enum class Refolded { Done, NoList, Failed };
    // Folds again the entries keys names and those the list of changes names since position();
    // with listed, nothing is done (NoList) unless the list can be followed.
    Refolded refold(std::vector<qint64> keys, bool listed, QByteArray *state);
    // Where the list of changes stood when the index last caught up with it, as the cache records
    // it; nothing when the index must look every entry over first.
    std::optional<ChangeLog::Position> position();
    bool setPosition(const std::optional<ChangeLog::Position> &position);
    bool openAgenda();
    bool openCache();
    bool createCache();
    void closeCache();
    bool scanAll();
    bool forget();
    bool store(const Row &row, bool known);
    bool remove(qint64 key);
    bool exec(const char *sql);
    bool failed(int rc);
    bool step(sqlite3_stmt *statement);
    bool prepareKept();

    // Kept for the life of the cache's connection: a build writes each of them once per entry.
    enum Kept { InsertFolded, InsertRow, DeleteFolded, DeleteRow, KeptCount };
    sqlite3_stmt *m_kept[KeptCount] = {};

    QString m_agendaPath;
    QString m_cachePath;
    const std::atomic_bool &m_stop;
    sqlite3 *m_agenda = nullptr;
    sqlite3 *m_cache = nullptr;
    bool m_cacheDamaged = false;
    std::string m_texto, m_nota;
};
