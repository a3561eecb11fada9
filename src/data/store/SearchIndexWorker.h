#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <atomic>
#include <string>

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
    // another agenda, is made again; every entry whose texts changed is folded again. Each step
    // reads a few thousand entries, so the agenda is never held locked for long. With rebuild,
    // the cache is thrown away first. False when the cache cannot be made up to date.
    bool sync(bool rebuild);
    // Folds again the entries with these numbers (or removes them, gone from the agenda).
    bool reindex(const QList<qint64> &keys);

    // The cache's tables, for the reading side.
    static const char *const FoldedTable;

private:
    struct Row;
    bool openAgenda();
    bool openCache();
    bool createCache();
    void closeCache();
    bool scanAll();
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
