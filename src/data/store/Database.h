#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class SearchIndex;
struct sqlite3;
struct sqlite3_stmt;

// One open agenda file. Every cursor on the same file shares one Database, so a change written
// through one cursor is in the file, committed, before the call that wrote it returns.
class Database final
{
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens the file at path, creating it with the five empty tables when it does not exist.
    // The folder must exist. Files opened by several cursors are shared.
    static std::shared_ptr<Database> open(const QString &path, QString *error);

    // Whether the file at path is an agenda this program can open, read without writing a byte
    // to it: an empty or unknown file is not one. Returns an empty text, or why not.
    static QString examine(const QString &path);

    // From now on nothing is written to the agenda at path, whoever asks, and every write fails
    // with why, until a copy is restored over it (restoreFrom). A file refused already keeps its
    // first reason. The file is still read.
    static void refuseWrites(const QString &path, const QString &why);
    // Why writes to the agenda at path are refused, or an empty text.
    static QString writesRefused(const QString &path);
    // Why the agenda at path cannot be changed though it opens (the file, or its folder where the
    // store keeps its journal during a write, cannot be written), or an empty text.
    static QString whyReadOnly(const QString &path);

    // Replaces the whole content of this agenda with the agenda in copyPath, in one transaction:
    // a failure or a power loss half-way leaves the agenda as it was. Every client of the file,
    // this program's cursors included, sees the new content at its next read.
    bool restoreFrom(const QString &copyPath);

    // Copies the agenda into the SQLite connection destination through SQLite's online backup,
    // stepPages pages at a time, until done or *cancel, calling betweenSteps (if given) after each
    // step but the last, when the connection is free. Callable from another thread than the one
    // using this database: the connection serializes its calls, and the program's own writes
    // meanwhile are carried into the copy rather than starting it over (another program's write
    // starts it over). Returns the backup's last SQLite code: SQLITE_DONE when the copy is whole.
    int backupInto(sqlite3 *destination, int stepPages, const std::atomic_bool *cancel,
                   const std::function<void()> &betweenSteps = {});

    QString fileName() const { return m_path; }

    // Bumped by every write, so cursors know when a row they hold may have changed.
    quint64 generation() const { return m_generation; }
    // Grows with every row of table this connection writes, and with a restore or a migration,
    // which may change any: rows read from table are still there while it stays the same (another
    // program's writes show in PRAGMA data_version).
    quint64 tableWrites(const QString &table) const { return m_wholeFileWrites + m_tableWrites.value(table.toLower()); }

    // Runs one statement with bound values. Rows are handed to onRow, if given, as column values.
    // Returns false with lastError() set when the statement fails.
    bool exec(const QString &sql, const QVariantList &values, const std::function<bool(sqlite3_stmt *)> &onRow = {});

    // A statement prepared once and kept for the life of the file, reset and ready to bind; the
    // caller steps it and resets it when done. nullptr, with lastError() set, when it cannot be
    // prepared or the file is damaged.
    sqlite3_stmt *kept(const QString &sql);
    // Notes a failed step of a kept statement; always false.
    bool stepFailed();

    // The first column of the first row, or an invalid QVariant when there is no row.
    QVariant scalar(const QString &sql, const QVariantList &values, bool *ok = nullptr);

    // Runs a write, committed when it returns.
    bool write(const QString &sql, const QVariantList &values);
    qint64 lastInsertRowId() const;
    int changes() const;

    // The key (the order column's value) of the first row after `from`, or with descending the
    // last row before it, whose columns hold folded (TextMatch::foldAccents, not empty) in any
    // of them; -1 when none does. The diary's texts and notes are looked up in the search index
    // once it is started and up to date; anything else is read from the file.
    qint64 findFolded(const QString &table, const QString &orderColumn, const QStringList &columns,
                      const QString &folded, qint64 from, bool descending, bool *ok);

    // Starts the diary's search index, in a cache file in cacheFolder (see SearchIndex).
    void startSearchIndex(const QString &cacheFolder, int lookOverAfterMs = 0);
    SearchIndex *searchIndex() const { return m_searchIndex.get(); }

    QString lastError() const { return m_lastError; }
    // The file turned out damaged: nothing more is read from it or written to it.
    bool damaged() const { return m_damaged; }

    // A column value as the cursor hands it on: Null as an invalid QVariant.
    static QVariant columnValue(sqlite3_stmt *statement, int column);

    // One transaction around many writes: each write made meanwhile, through any cursor on this
    // file, is kept only when commit() succeeds; rollback() takes them all back, and every cursor
    // reads the file again.
    bool begin();
    bool commit();
    void rollback();

    // Brings a file of an earlier schema version up to version upTo (see docs/file-format.md),
    // inside the transaction begun by the caller. True when there was nothing to do.
    bool migrate(int upTo = SchemaVersion);

    // 2: the tables that keep what imported items carry beyond the program's own fields.
    // 3: what a sync with a server remembers; only a sync brings a file to it, so an agenda that
    // never syncs stays readable by the programs that know version 2.
    static constexpr int SchemaVersion = 3;
    static constexpr int InterchangeSchemaVersion = 2;
    // How long a write waits for a file another program holds locked.
    static constexpr int BusyTimeoutMs = 200;

private:
    static void rowChanged(void *self, int operation, const char *database, const char *table, qint64 rowid);

    explicit Database(QString path);
    bool openFile(QString *error, bool readOnly = false);
    bool createOrCheckSchema(QString *error);
    bool checkSchema(QString *error);
    sqlite3_stmt *prepare(const QString &sql);
    bool bindAll(sqlite3_stmt *statement, const QVariantList &values);
    void setError();
    void refuseHere();

    QString m_path;
    sqlite3 *m_db = nullptr;
    QHash<QString, sqlite3_stmt *> m_statements;
    quint64 m_generation = 0;
    QHash<QString, quint64> m_tableWrites; // by table name in lower case
    quint64 m_wholeFileWrites = 0;
    QString m_lastError;
    bool m_damaged = false;
    bool m_readOnly = false; // opened only to be examined
    std::unique_ptr<SearchIndex> m_searchIndex;
};
