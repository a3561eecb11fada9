#pragma once

#include "Criterion.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class Database;
struct TableSchema;

// One field of a row held by a cursor's match window: its storage type and value, a text's
// bytes kept in the window's shared buffer.
struct WindowCell
{
    int type = 0; // the store's column type; 0 until read
    int size = 0;
    qint64 number = 0; // an integer, or the text's offset
    double real = 0;
};

// A cursor over one table of the agenda, in the order the rows were added (for notas, by
// numero). It stands on one record at a time; finds move it only when they find something.
//
// Every operation that can fail returns false and keeps the reason in lastError(): a write that
// did not reach the file is never reported as done.
class RecordCursor final
{
public:
    RecordCursor() = default;
    RecordCursor(const RecordCursor &) = delete;
    RecordCursor &operator=(const RecordCursor &) = delete;

    QString DatabaseName; // the agenda file's path
    QString RecordSource; // the table's name, in any letter case

    // (Re)opens the table and stands on its first record; sees every change of every cursor.
    // After a failed Refresh (or once the file shows damage) the cursor is closed: it reads and
    // writes nothing, and lastError() says why, until a Refresh succeeds.
    bool Refresh();
    bool isOpen() const { return m_table != nullptr; }

    bool FindFirst(const Criterion &criterion);
    bool FindNext(const Criterion &criterion);
    bool FindPrevious(const Criterion &criterion);
    bool FindLast(const Criterion &criterion);
    // Stands on the record whose key is key (numero for notas, the row id elsewhere); when there
    // is none, sets NoMatch and stays where it was. A table that cannot be read leaves NoMatch
    // clear: false then means a failure, told by lastError().
    bool FindKey(qint64 key);
    bool NoMatch() const { return m_noMatch; }

    // Every move and find cancels a pending AddNew or Edit.
    bool MoveFirst();
    bool MoveNext();
    bool MovePrevious();
    bool MoveLast();
    bool Eof() const { return m_eof; } // past the last record
    bool Bof() const { return m_bof; } // before the first record

    // Zero exactly when the table is empty.
    qint64 RecordCount();
    // Position of the current record from 0; -1 when there is none.
    qint64 AbsolutePosition();
    bool hasCurrent() const { return m_current >= 0 && !m_currentDeleted; }

    bool AddNew();
    bool Edit();
    bool Update();
    void CancelUpdate();
    bool Delete();
    bool editing() const { return m_mode != Mode::None; }

    // The current record's value, or the value written since AddNew/Edit. Null (an invalid
    // QVariant) for a field never written. Names ignore letter case; positions count from 0.
    QVariant Field(const QString &name) const;
    QVariant Field(int position) const;
    QString Text(const QString &name) const { return Field(name).toString(); }
    bool Bool(const QString &name) const { return Field(name).toBool(); }
    QDate Date(const QString &name) const;
    qint64 Number(const QString &name) const { return Field(name).toLongLong(); }

    // Hands every record, in cursor order, to onRow as the values of columns (read as Field
    // reads them), in one pass over the table that leaves the cursor where it stands: for lists
    // that show a whole table. False when the table cannot be read.
    bool ReadAll(const QStringList &columns, const std::function<void(const QVariantList &values)> &onRow);

    // Writes a field of the record being added or edited.
    bool SetField(const QString &name, const QVariant &value);
    bool SetField(int position, const QVariant &value);

    int FieldCount() const;
    QString lastError() const { return m_lastError; }

    // What the cursor's table holds: two equal stamps mean nothing was written to it in between,
    // through any cursor of this program or by another program. An invalid stamp (a closed
    // cursor, a file that cannot be asked) equals no other.
    struct ContentStamp
    {
        quint64 ownWrites = 0;
        qint64 otherWrites = -1;
        bool operator==(const ContentStamp &other) const
        {
            return otherWrites >= 0 && ownWrites == other.ownWrites && otherWrites == other.otherWrites;
        }
    };
    ContentStamp contentStamp() const;

    // The key of the current record (numero for notas, the row id elsewhere); -1 without one.
    qint64 currentKey() const { return hasCurrent() ? m_current : -1; }
    // The key of the record the last Update added.
    qint64 lastAddedKey() const { return m_lastAdded; }

private:
    enum class Mode { None, Adding, Editing };

    bool fail(const QString &why) const;
    bool close(const QString &why);
    bool dbFail();
    bool standOn(qint64 key);
    bool requireOpen() const;
    bool find(const Criterion &criterion, const QString &range, const QVariantList &rangeValues, bool descending);
    bool moveTo(const QString &sql, const QVariantList &rangeValues, bool forward);
    bool loadRow() const;
    bool findEqual(int column, const QVariant &value, qint64 after);
    bool fillWindow(int column, const QVariant &value, qint64 after);
    const struct WindowCell *currentCell(int position) const;
    QVariant toStorage(int column, const QVariant &value, bool *ok) const;
    QVariant fromStorage(int column, const QVariant &value) const;

    std::shared_ptr<Database> m_db;
    const TableSchema *m_table = nullptr;
    QString m_order;

    qint64 m_current = -1;
    bool m_currentDeleted = false;
    bool m_eof = true;
    bool m_bof = true;
    bool m_noMatch = false;
    qint64 m_lastAdded = -1;

    Mode m_mode = Mode::None;
    QHash<int, QVariant> m_buffer;

    mutable std::vector<QVariant> m_row;
    mutable qint64 m_rowKey = -1;
    mutable quint64 m_rowGeneration = 0;
    mutable QString m_lastError;

    // SQL kept from the last Refresh, so no move or read builds its text again.
    QString m_rowSql;
    QString m_firstSql, m_lastSql, m_nextSql, m_previousSql;
    std::vector<QString> m_windowSql; // by column, built on first use

    // The rows a find by one column's value read in one go (a day's entries, a date's status),
    // with every column: the next finds by the same value and the field reads walk them without
    // asking the file again, for as long as nothing is written. Storage is reused from find to
    // find.
    struct MatchWindow
    {
        int column = -1;
        QVariant value;
        qint64 after = 0; // the window holds the matches with a key above this, in order
        bool complete = false; // and they are all there are
        quint64 generation = 0;
        std::vector<qint64> keys;
        std::vector<WindowCell> cells; // keys.size() rows of FieldCount() cells
        QByteArray text;
    };
    MatchWindow m_window;
    qint64 m_windowRow = -1; // the window's row the cursor stands on, -1 when none
};
