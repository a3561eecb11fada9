#include "RecordCursor.h"

#include "Database.h"
#include "TableSchema.h"
#include "TextMatch.h"
#include "data/DateText.h"

#include <QDateTime>
#include <algorithm>
#include <limits>
#include <sqlite3.h>

namespace {

// How many rows a find by one column's value reads at once, and how much text it holds at
// most: a day's entries fit; a value shared by thousands of rows is read a window at a time.
constexpr int WindowRows = 64;
constexpr qsizetype WindowTextBytes = 1 << 20;

} // namespace

bool RecordCursor::fail(const QString &why) const
{
    m_lastError = why;
    return false;
}

bool RecordCursor::requireOpen() const
{
    if (!m_table || !m_db)
        return fail(QStringLiteral("la tabla %1 no está abierta").arg(RecordSource));
    return true;
}

bool RecordCursor::close(const QString &why)
{
    CancelUpdate();
    m_db.reset();
    m_table = nullptr;
    m_current = -1;
    m_currentDeleted = false;
    m_eof = m_bof = true;
    m_row.clear();
    m_rowKey = -1;
    m_window.column = -1;
    m_windowRow = -1;
    return fail(why);
}

bool RecordCursor::dbFail()
{
    const QString why = m_db->lastError();
    if (m_db->damaged())
        return close(why);
    return fail(why);
}

bool RecordCursor::Refresh()
{
    CancelUpdate();
    QString error;
    std::shared_ptr<Database> db = Database::open(DatabaseName, &error);
    if (!db)
        return close(error);
    const TableSchema *table = TableSchema::find(RecordSource);
    if (!table)
        return close(QStringLiteral("la agenda no tiene la tabla %1").arg(RecordSource));
    m_db = std::move(db);
    m_table = table;
    m_order = QStringLiteral("\"%1\"").arg(table->orderColumn());
    m_rowKey = -1;
    // A Refresh sees what other programs wrote: nothing read before it is used after it.
    m_window.column = -1;
    m_windowRow = -1;
    QStringList columns;
    for (const ColumnSchema &column : table->columns)
        columns << QStringLiteral("\"%1\"").arg(column.name);
    m_rowSql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(columns.join(u", "), table->name, m_order);
    const QString move = QStringLiteral("SELECT %1 FROM %2 %3 ORDER BY %1 %4 LIMIT 1");
    m_firstSql = move.arg(m_order, table->name, QString(), QStringLiteral("ASC"));
    m_lastSql = move.arg(m_order, table->name, QString(), QStringLiteral("DESC"));
    m_nextSql = move.arg(m_order, table->name, QStringLiteral("WHERE %1 > ?").arg(m_order), QStringLiteral("ASC"));
    m_previousSql = move.arg(m_order, table->name, QStringLiteral("WHERE %1 < ?").arg(m_order), QStringLiteral("DESC"));
    m_windowSql.assign(table->columns.size(), QString());
    // A table that cannot be read is as good as not open: the cursor refuses everything until
    // a later Refresh succeeds.
    if (!MoveFirst())
        return close(m_lastError);
    return true;
}

bool RecordCursor::find(const Criterion &criterion, const QString &range, const QVariantList &rangeValues,
                        bool descending)
{
    // A find leaves a pending add or edit, as any move does.
    CancelUpdate();
    m_noMatch = true;
    if (!requireOpen())
        return false;
    int equalColumn = -1;
    QVariant equalValue;
    if (!descending && criterion.plainEquality(*m_table, &equalColumn, &equalValue))
        return findEqual(equalColumn, equalValue,
                         rangeValues.isEmpty() ? std::numeric_limits<qint64>::min() : rangeValues.first().toLongLong());
    QString condition;
    QVariantList values = rangeValues;
    if (!criterion.compile(*m_table, &condition, &values, &m_lastError))
        return false;
    QStringList columns;
    QString value;
    if (criterion.ignoresAccents(&columns, &value)) {
        const QString folded = TextMatch::foldAccents(value);
        // An empty value matches every row with text, which only the file can tell from Null.
        if (!folded.isEmpty() && !folded.contains(QChar(0))) {
            for (QString &column : columns)
                column = m_table->columns[size_t(m_table->indexOf(column))].name;
            const qint64 from = rangeValues.isEmpty()
                ? (descending ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min())
                : rangeValues.first().toLongLong();
            bool ok = false;
            const qint64 key =
                m_db->findFolded(m_table->name, m_table->orderColumn(), columns, folded, from, descending, &ok);
            if (!ok)
                return dbFail();
            return key < 0 ? false : standOn(key);
        }
    }
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3(%4) ORDER BY %1 %5 LIMIT 1")
                            .arg(m_order, m_table->name, range.isEmpty() ? QString() : range + QStringLiteral(" AND "),
                                 condition, descending ? QStringLiteral("DESC") : QStringLiteral("ASC"));
    bool ok = false;
    const QVariant key = m_db->scalar(sql, values, &ok);
    if (!ok)
        return dbFail();
    if (!key.isValid())
        return false;
    return standOn(key.toLongLong());
}

bool RecordCursor::findEqual(int column, const QVariant &value, qint64 after)
{
    const MatchWindow &w = m_window;
    const bool held = w.column == column && w.generation == m_db->generation() && w.after <= after &&
        (w.complete || (!w.keys.empty() && after < w.keys.back())) && w.value == value;
    if (!held && !fillWindow(column, value, after))
        return dbFail();
    const auto found = std::upper_bound(w.keys.begin(), w.keys.end(), after);
    if (found == w.keys.end())
        return false;
    standOn(*found);
    m_windowRow = found - w.keys.begin();
    return true;
}

bool RecordCursor::fillWindow(int column, const QVariant &value, qint64 after)
{
    MatchWindow &w = m_window;
    w.column = -1;
    m_windowRow = -1;
    QString &sql = m_windowSql[size_t(column)];
    if (sql.isEmpty()) {
        QStringList columns{m_order};
        for (const ColumnSchema &each : m_table->columns)
            columns << QStringLiteral("\"%1\"").arg(each.name);
        sql = QStringLiteral("SELECT %1 FROM %2 WHERE \"%3\" = ? AND %4 > ? ORDER BY %4 LIMIT %5")
                  .arg(columns.join(u", "), m_table->name, m_table->columns[size_t(column)].name, m_order)
                  .arg(WindowRows);
    }
    sqlite3_stmt *statement = m_db->kept(sql);
    if (!statement)
        return false;
    QByteArray text;
    int rc = SQLITE_OK;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        rc = sqlite3_bind_int64(statement, 1, value.toLongLong());
        break;
    default:
        text = value.toString().toUtf8();
        rc = sqlite3_bind_text(statement, 1, text.constData(), int(text.size()), SQLITE_STATIC);
    }
    if (rc != SQLITE_OK || sqlite3_bind_int64(statement, 2, after) != SQLITE_OK) {
        sqlite3_reset(statement);
        return m_db->stepFailed();
    }

    const int fields = int(m_table->columns.size());
    w.keys.clear();
    w.cells.clear();
    w.text.resize(0);
    rc = SQLITE_ROW;
    while (int(w.keys.size()) < WindowRows && w.text.size() < WindowTextBytes &&
           (rc = sqlite3_step(statement)) == SQLITE_ROW) {
        w.keys.push_back(sqlite3_column_int64(statement, 0));
        for (int i = 1; i <= fields; ++i) {
            WindowCell cell;
            cell.type = sqlite3_column_type(statement, i);
            switch (cell.type) {
            case SQLITE_NULL:
                break;
            case SQLITE_INTEGER:
                cell.number = sqlite3_column_int64(statement, i);
                break;
            case SQLITE_FLOAT:
                cell.real = sqlite3_column_double(statement, i);
                break;
            default:
                cell.number = w.text.size();
                cell.size = sqlite3_column_bytes(statement, i);
                w.text.append(reinterpret_cast<const char *>(sqlite3_column_text(statement, i)), cell.size);
            }
            w.cells.push_back(cell);
        }
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        m_db->stepFailed();
        sqlite3_reset(statement);
        return false;
    }
    sqlite3_reset(statement);
    w.complete = rc == SQLITE_DONE;
    w.column = column;
    w.value = value;
    w.after = after;
    w.generation = m_db->generation();
    return true;
}

const WindowCell *RecordCursor::currentCell(int position) const
{
    if (m_windowRow < 0 || m_currentDeleted || m_window.generation != m_db->generation() ||
        size_t(m_windowRow) >= m_window.keys.size() || m_window.keys[size_t(m_windowRow)] != m_current)
        return nullptr;
    return &m_window.cells[size_t(m_windowRow) * m_table->columns.size() + size_t(position)];
}

bool RecordCursor::standOn(qint64 key)
{
    m_windowRow = -1;
    m_current = key;
    m_currentDeleted = false;
    m_eof = m_bof = false;
    m_noMatch = false;
    return true;
}

bool RecordCursor::FindFirst(const Criterion &criterion)
{
    return find(criterion, {}, {}, false);
}

bool RecordCursor::FindNext(const Criterion &criterion)
{
    if (m_eof && m_current < 0) {
        m_noMatch = true;
        return false;
    }
    if (m_current < 0)
        return find(criterion, {}, {}, false);
    return find(criterion, m_order + QStringLiteral(" > ?"), {m_current}, false);
}

bool RecordCursor::FindPrevious(const Criterion &criterion)
{
    if (m_bof && m_current < 0) {
        m_noMatch = true;
        return false;
    }
    if (m_current < 0)
        return find(criterion, {}, {}, true);
    return find(criterion, m_order + QStringLiteral(" < ?"), {m_current}, true);
}

bool RecordCursor::FindLast(const Criterion &criterion)
{
    return find(criterion, {}, {}, true);
}

bool RecordCursor::FindKey(qint64 key)
{
    CancelUpdate();
    m_noMatch = false;
    if (!requireOpen())
        return false;
    bool ok = false;
    const QVariant found =
        m_db->scalar(QStringLiteral("SELECT %1 FROM %2 WHERE %1 = ?").arg(m_order, m_table->name), {key}, &ok);
    if (!ok)
        return dbFail();
    m_noMatch = !found.isValid();
    return found.isValid() && standOn(key);
}

bool RecordCursor::moveTo(const QString &sql, const QVariantList &rangeValues, bool forward)
{
    if (!requireOpen())
        return false;
    CancelUpdate();
    bool ok = false;
    const QVariant key = m_db->scalar(sql, rangeValues, &ok);
    if (!ok)
        return dbFail();
    m_currentDeleted = false;
    m_windowRow = -1;
    if (!key.isValid()) {
        m_current = -1;
        if (rangeValues.isEmpty()) {
            m_eof = m_bof = true; // an empty table
        } else if (forward) {
            m_eof = true;
        } else {
            m_bof = true;
        }
        return true;
    }
    m_current = key.toLongLong();
    m_eof = m_bof = false;
    return true;
}

bool RecordCursor::MoveFirst()
{
    return requireOpen() && moveTo(m_firstSql, {}, true);
}

bool RecordCursor::MoveLast()
{
    return requireOpen() && moveTo(m_lastSql, {}, false);
}

bool RecordCursor::MoveNext()
{
    CancelUpdate();
    if (m_eof && m_current < 0)
        return fail(QStringLiteral("no hay registro actual"));
    if (m_current < 0)
        return MoveFirst();
    return moveTo(m_nextSql, {m_current}, true);
}

bool RecordCursor::MovePrevious()
{
    CancelUpdate();
    if (m_bof && m_current < 0)
        return fail(QStringLiteral("no hay registro actual"));
    if (m_current < 0)
        return MoveLast();
    return moveTo(m_previousSql, {m_current}, false);
}

RecordCursor::ContentStamp RecordCursor::contentStamp() const
{
    if (!m_db || !m_table)
        return {};
    // SQLite's data_version moves with every commit of another connection.
    bool ok = false;
    const QVariant version = m_db->scalar(QStringLiteral("PRAGMA data_version"), {}, &ok);
    if (!ok || !version.isValid())
        return {};
    return {m_db->tableWrites(m_table->name), version.toLongLong()};
}

qint64 RecordCursor::RecordCount()
{
    if (!requireOpen())
        return 0;
    return m_db->scalar(QStringLiteral("SELECT count(*) FROM %1").arg(m_table->name), {}).toLongLong();
}

qint64 RecordCursor::AbsolutePosition()
{
    if (!requireOpen() || !hasCurrent())
        return -1;
    return m_db->scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 < ?").arg(m_table->name, m_order), {m_current})
        .toLongLong();
}

bool RecordCursor::AddNew()
{
    if (!requireOpen())
        return false;
    m_mode = Mode::Adding;
    m_buffer.clear();
    return true;
}

bool RecordCursor::Edit()
{
    if (!requireOpen())
        return false;
    if (!hasCurrent())
        return fail(QStringLiteral("no hay registro actual"));
    m_mode = Mode::Editing;
    m_buffer.clear();
    return true;
}

void RecordCursor::CancelUpdate()
{
    m_mode = Mode::None;
    m_buffer.clear();
}

bool RecordCursor::Update()
{
    if (!requireOpen())
        return false;
    if (m_mode == Mode::None)
        return fail(QStringLiteral("no se está añadiendo ni modificando ningún registro"));

    QStringList columns;
    QVariantList values;
    for (auto it = m_buffer.cbegin(); it != m_buffer.cend(); ++it) {
        columns << QStringLiteral("\"%1\"").arg(m_table->columns[size_t(it.key())].name);
        values << it.value();
    }

    if (m_mode == Mode::Adding) {
        QString sql;
        if (columns.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_table->name);
        } else {
            QStringList marks;
            for (qsizetype i = 0; i < columns.size(); ++i)
                marks << QStringLiteral("?");
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(m_table->name, columns.join(u", "), marks.join(u", "));
        }
        if (!m_db->write(sql, values))
            return dbFail();
        m_lastAdded = m_db->lastInsertRowId();
    } else {
        if (!hasCurrent())
            return fail(QStringLiteral("el registro ya no existe"));
        if (!columns.isEmpty()) {
            QStringList assignments;
            for (const QString &column : std::as_const(columns))
                assignments << column + QStringLiteral(" = ?");
            values << m_current;
            const QString sql =
                QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?").arg(m_table->name, assignments.join(u", "), m_order);
            if (!m_db->write(sql, values))
                return dbFail();
            if (m_db->changes() == 0)
                return fail(QStringLiteral("el registro ya no existe"));
        }
    }
    CancelUpdate();
    return true;
}

bool RecordCursor::Delete()
{
    if (!requireOpen())
        return false;
    if (!hasCurrent())
        return fail(QStringLiteral("no hay registro actual"));
    CancelUpdate();
    if (!m_db->write(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(m_table->name, m_order), {m_current}))
        return dbFail();
    if (m_db->changes() == 0)
        return fail(QStringLiteral("el registro ya no existe"));
    m_currentDeleted = true;
    return true;
}

bool RecordCursor::loadRow() const
{
    if (m_rowKey == m_current && m_rowGeneration == m_db->generation() && !m_row.empty())
        return true;
    std::vector<QVariant> row;
    const bool ok = m_db->exec(m_rowSql, {m_current}, [&](sqlite3_stmt *statement) {
        for (int i = 0; i < int(m_table->columns.size()); ++i)
            row.push_back(Database::columnValue(statement, i));
        return false;
    });
    if (!ok)
        return fail(m_db->lastError());
    if (row.empty())
        return fail(QStringLiteral("el registro ya no existe"));
    m_row = std::move(row);
    m_rowKey = m_current;
    m_rowGeneration = m_db->generation();
    return true;
}

QVariant RecordCursor::Field(const QString &name) const
{
    if (!m_table) {
        fail(QStringLiteral("la tabla %1 no está abierta").arg(RecordSource));
        return {};
    }
    const int position = m_table->indexOf(name);
    if (position < 0) {
        fail(QStringLiteral("la tabla %1 no tiene la columna %2").arg(m_table->name, name));
        return {};
    }
    return Field(position);
}

QVariant RecordCursor::Field(int position) const
{
    if (!m_table || position < 0 || position >= int(m_table->columns.size())) {
        fail(QStringLiteral("no hay campo %1").arg(position));
        return {};
    }
    if (m_mode != Mode::None && m_buffer.contains(position))
        return fromStorage(position, m_buffer.value(position));
    if (m_mode == Mode::Adding)
        return fromStorage(position, {});
    if (!hasCurrent()) {
        fail(QStringLiteral("no hay registro actual"));
        return {};
    }
    if (const WindowCell *cell = currentCell(position)) {
        switch (cell->type) {
        case SQLITE_NULL:
            return fromStorage(position, {});
        case SQLITE_INTEGER:
            return fromStorage(position, QVariant(cell->number));
        case SQLITE_FLOAT:
            return fromStorage(position, QVariant(cell->real));
        default:
            return fromStorage(position, QString::fromUtf8(m_window.text.constData() + cell->number, cell->size));
        }
    }
    if (!loadRow())
        return {};
    return fromStorage(position, m_row[size_t(position)]);
}

bool RecordCursor::ReadAll(const QStringList &columns, const std::function<void(const QVariantList &values)> &onRow)
{
    if (!requireOpen())
        return false;
    std::vector<int> positions;
    QStringList names;
    for (const QString &column : columns) {
        const int position = m_table->indexOf(column);
        if (position < 0)
            return fail(QStringLiteral("la tabla %1 no tiene la columna %2").arg(m_table->name, column));
        positions.push_back(position);
        names << QStringLiteral("\"%1\"").arg(m_table->columns[size_t(position)].name);
    }
    QVariantList values;
    const bool ok =
        m_db->exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(names.join(u", "), m_table->name, m_order), {},
                   [&](sqlite3_stmt *statement) {
                       values.clear();
                       for (int i = 0; i < int(positions.size()); ++i)
                           values << fromStorage(positions[size_t(i)], Database::columnValue(statement, i));
                       onRow(values);
                       return true;
                   });
    return ok || dbFail();
}

QDate RecordCursor::Date(const QString &name) const
{
    const QVariant value = Field(name);
    if (value.typeId() == QMetaType::QDate)
        return value.toDate();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    return DateText::toDate(value.toString());
}

bool RecordCursor::SetField(const QString &name, const QVariant &value)
{
    if (!requireOpen())
        return false;
    const int position = m_table->indexOf(name);
    if (position < 0)
        return fail(QStringLiteral("la tabla %1 no tiene la columna %2").arg(m_table->name, name));
    return SetField(position, value);
}

bool RecordCursor::SetField(int position, const QVariant &value)
{
    if (!requireOpen())
        return false;
    if (position < 0 || position >= int(m_table->columns.size()))
        return fail(QStringLiteral("no hay campo %1").arg(position));
    if (m_mode == Mode::None)
        return fail(QStringLiteral("el registro no se está añadiendo ni modificando"));
    bool ok = true;
    const QVariant stored = toStorage(position, value, &ok);
    if (!ok)
        return false;
    m_buffer.insert(position, stored);
    return true;
}

int RecordCursor::FieldCount() const
{
    return m_table ? int(m_table->columns.size()) : 0;
}

QVariant RecordCursor::toStorage(int position, const QVariant &value, bool *ok) const
{
    const ColumnSchema &column = m_table->columns[size_t(position)];
    *ok = true;
    const bool isNull = !value.isValid() || value.isNull();
    switch (column.kind) {
    case ColumnKind::Counter:
        *ok = fail(QStringLiteral("el campo %1 lo numera la agenda").arg(column.name));
        return {};
    case ColumnKind::YesNo:
        return QVariant(isNull ? 0 : (value.toBool() ? 1 : 0));
    case ColumnKind::DateTime:
        if (isNull)
            return {};
        if (value.typeId() == QMetaType::QDate)
            return DateText::toStored(value.toDate());
        if (value.typeId() == QMetaType::QDateTime)
            return DateText::toStored(value.toDateTime());
        if (const QDate date = DateText::toDate(value.toString()); date.isValid())
            return DateText::toStored(date);
        if (const QVariant stored = DateText::fromStored(value.toString()); stored.isValid() && !stored.isNull())
            return value.toString();
        *ok = fail(QStringLiteral("«%1» no es una fecha para el campo %2").arg(value.toString(), column.name));
        return {};
    case ColumnKind::Text:
    case ColumnKind::Memo: {
        if (isNull)
            return {};
        const QString text = value.typeId() == QMetaType::QDate ? DateText::fromDate(value.toDate()) : value.toString();
        if (column.kind == ColumnKind::Text && text.size() > column.width) {
            *ok =
                fail(QStringLiteral("el campo %1 admite %2 caracteres como mucho").arg(column.name).arg(column.width));
            return {};
        }
        return text;
    }
    }
    return value;
}

QVariant RecordCursor::fromStorage(int position, const QVariant &value) const
{
    const ColumnSchema &column = m_table->columns[size_t(position)];
    switch (column.kind) {
    case ColumnKind::YesNo:
        return QVariant(value.isValid() && value.toLongLong() != 0);
    case ColumnKind::DateTime:
        if (!value.isValid() || value.isNull())
            return {};
        return DateText::fromStored(value.toString());
    case ColumnKind::Counter:
        return value.isValid() ? QVariant(value.toLongLong()) : QVariant();
    case ColumnKind::Text:
    case ColumnKind::Memo:
        if (!value.isValid() || value.isNull())
            return {};
        return value.toString();
    }
    return value;
}
