#include "RecordCursor.h"

#include "Database.h"
#include "DateText.h"
#include "TableSchema.h"
#include "TextMatch.h"

#include <QDateTime>
#include <limits>
#include <sqlite3.h>

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

bool RecordCursor::standOn(qint64 key)
{
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

bool RecordCursor::moveTo(const QString &range, const QVariantList &rangeValues, bool descending, bool forward)
{
    if (!requireOpen())
        return false;
    CancelUpdate();
    const QString sql = QStringLiteral("SELECT %1 FROM %2 %3 ORDER BY %1 %4 LIMIT 1")
                            .arg(m_order, m_table->name, range.isEmpty() ? QString() : QStringLiteral("WHERE ") + range,
                                 descending ? QStringLiteral("DESC") : QStringLiteral("ASC"));
    bool ok = false;
    const QVariant key = m_db->scalar(sql, rangeValues, &ok);
    if (!ok)
        return dbFail();
    m_currentDeleted = false;
    if (!key.isValid()) {
        m_current = -1;
        if (range.isEmpty()) {
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
    return moveTo({}, {}, false, true);
}

bool RecordCursor::MoveLast()
{
    return moveTo({}, {}, true, false);
}

bool RecordCursor::MoveNext()
{
    CancelUpdate();
    if (m_eof && m_current < 0)
        return fail(QStringLiteral("no hay registro actual"));
    if (m_current < 0)
        return MoveFirst();
    return moveTo(m_order + QStringLiteral(" > ?"), {m_current}, false, true);
}

bool RecordCursor::MovePrevious()
{
    CancelUpdate();
    if (m_bof && m_current < 0)
        return fail(QStringLiteral("no hay registro actual"));
    if (m_current < 0)
        return MoveLast();
    return moveTo(m_order + QStringLiteral(" < ?"), {m_current}, true, false);
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
    QStringList columns;
    for (const ColumnSchema &column : m_table->columns)
        columns << QStringLiteral("\"%1\"").arg(column.name);
    std::vector<QVariant> row;
    const bool ok =
        m_db->exec(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(columns.join(u", "), m_table->name, m_order),
                   {m_current}, [&](sqlite3_stmt *statement) {
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
