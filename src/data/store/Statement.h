#pragma once

#include <QtGlobal>
#include <optional>
#include <sqlite3.h>

// A statement prepared on a raw connection for one use, finalized when it goes out of scope; a
// statement that could not be prepared is false.
class Statement final
{
public:
    Statement(sqlite3 *db, const char *sql) { sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr); }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    sqlite3_stmt *get() const { return m_statement; }
    explicit operator bool() const { return m_statement != nullptr; }
    // The first column of the first row, or nothing (no row, Null, or a failure).
    std::optional<qint64> integer()
    {
        if (!m_statement || sqlite3_step(m_statement) != SQLITE_ROW ||
            sqlite3_column_type(m_statement, 0) == SQLITE_NULL)
            return {};
        return sqlite3_column_int64(m_statement, 0);
    }

private:
    sqlite3_stmt *m_statement = nullptr;
};
