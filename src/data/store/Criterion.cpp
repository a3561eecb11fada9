#include "Criterion.h"

#include "TableSchema.h"
#include "TextMatch.h"
#include "data/DateText.h"

#include <algorithm>

Criterion Criterion::textEquals(const QString &column, const QString &value)
{
    Criterion c;
    c.m_kind = Kind::TextEquals;
    c.m_column = column;
    c.m_value = value;
    return c;
}

Criterion Criterion::numberEquals(const QString &column, qint64 value)
{
    Criterion c;
    c.m_kind = Kind::NumberEquals;
    c.m_column = column;
    c.m_value = value;
    return c;
}

Criterion Criterion::contains(const QString &column, const QString &value)
{
    Criterion c;
    c.m_kind = Kind::Contains;
    c.m_column = column;
    c.m_value = value;
    return c;
}

Criterion Criterion::containsIgnoringAccents(const QStringList &columns, const QString &value)
{
    Criterion c;
    c.m_kind = Kind::ContainsIgnoringAccents;
    c.m_columns = columns;
    c.m_value = value;
    return c;
}

Criterion Criterion::dateEquals(const QString &column, const QDate &value)
{
    Criterion c;
    c.m_kind = Kind::DateEquals;
    c.m_column = column;
    c.m_value = value;
    return c;
}

Criterion Criterion::isFalse(const QString &column)
{
    Criterion c;
    c.m_kind = Kind::IsFalse;
    c.m_column = column;
    return c;
}

Criterion Criterion::all(std::vector<Criterion> parts)
{
    Criterion c;
    c.m_kind = Kind::All;
    c.m_parts = std::move(parts);
    return c;
}

Criterion Criterion::any(std::vector<Criterion> parts)
{
    Criterion c;
    c.m_kind = Kind::Any;
    c.m_parts = std::move(parts);
    return c;
}

Criterion Criterion::entryAlarm(const QDate &date, const QString &time)
{
    return all({dateEquals(QStringLiteral("fecha"), date), textEquals(QStringLiteral("horaalarma"), time)});
}

Criterion Criterion::taskAlarm(const QDate &date, const QString &time)
{
    return all({dateEquals(QStringLiteral("fechaalarma"), date), textEquals(QStringLiteral("horaalarma"), time),
                isFalse(QStringLiteral("terminada"))});
}

Criterion Criterion::entriesContaining(const QString &value)
{
    return any({contains(QStringLiteral("texto"), value), contains(QStringLiteral("nota"), value)});
}

Criterion Criterion::entriesMentioning(const QString &value)
{
    return containsIgnoringAccents({QStringLiteral("texto"), QStringLiteral("nota")}, value);
}

bool Criterion::ignoresAccents(QStringList *columns, QString *value) const
{
    if (m_kind != Kind::ContainsIgnoringAccents)
        return false;
    *columns = m_columns;
    *value = m_value.toString();
    return true;
}

// An ASCII value without letters (a date, a time) compares the same with or without case: then
// the plain comparison lets the store use its index. Outside ASCII even symbols and numerals
// have case ("Ⓐ" and "ⓐ", "Ⅻ" and "ⅻ").
static bool caseless(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 0x80 && !ch.isLetter(); });
}

bool Criterion::plainEquality(const TableSchema &table, int *column, QVariant *value) const
{
    if (m_kind != Kind::TextEquals && m_kind != Kind::DateEquals && m_kind != Kind::NumberEquals)
        return false;
    const int index = table.indexOf(m_column);
    if (index < 0)
        return false;
    const ColumnSchema &schema = table.columns[size_t(index)];
    switch (m_kind) {
    case Kind::TextEquals:
        if (!caseless(m_value.toString()))
            return false;
        *value = m_value.toString();
        break;
    case Kind::DateEquals:
        *value = schema.kind == ColumnKind::DateTime ? DateText::toStored(m_value.toDate())
                                                     : DateText::fromDate(m_value.toDate());
        break;
    default:
        *value = m_value;
    }
    *column = index;
    return true;
}

static QString quoted(const QString &column)
{
    return QStringLiteral("\"%1\"").arg(column);
}

bool Criterion::compile(const TableSchema &table, QString *sql, QVariantList *values, QString *error) const
{
    const ColumnSchema *column = nullptr;
    if (m_kind != Kind::All && m_kind != Kind::Any && m_kind != Kind::ContainsIgnoringAccents) {
        const int index = table.indexOf(m_column);
        if (index < 0) {
            if (error)
                *error = QStringLiteral("la tabla %1 no tiene la columna %2").arg(table.name, m_column);
            return false;
        }
        column = &table.columns[size_t(index)];
    }

    switch (m_kind) {
    case Kind::TextEquals: {
        const QString text = m_value.toString();
        if (!caseless(text)) {
            *sql = QStringLiteral("qm_equals(%1, ?)").arg(quoted(column->name));
            values->append(TextMatch::fold(text));
        } else {
            *sql = QStringLiteral("%1 = ?").arg(quoted(column->name));
            values->append(text);
        }
        return true;
    }
    case Kind::NumberEquals:
        *sql = QStringLiteral("%1 = ?").arg(quoted(column->name));
        values->append(m_value);
        return true;
    case Kind::Contains:
        *sql = QStringLiteral("qm_contains(%1, ?)").arg(quoted(column->name));
        values->append(TextMatch::fold(m_value.toString()));
        return true;
    case Kind::ContainsIgnoringAccents: {
        QStringList pieces;
        const QString folded = TextMatch::foldAccents(m_value.toString());
        for (const QString &name : m_columns) {
            const int index = table.indexOf(name);
            if (index < 0) {
                if (error)
                    *error = QStringLiteral("la tabla %1 no tiene la columna %2").arg(table.name, name);
                return false;
            }
            pieces << QStringLiteral("qm_contains_loosely(%1, ?)").arg(quoted(table.columns[size_t(index)].name));
            values->append(folded);
        }
        *sql = pieces.isEmpty() ? QStringLiteral("0") : pieces.join(QStringLiteral(" OR "));
        return true;
    }
    case Kind::DateEquals:
        *sql = QStringLiteral("%1 = ?").arg(quoted(column->name));
        values->append(column->kind == ColumnKind::DateTime ? DateText::toStored(m_value.toDate())
                                                            : DateText::fromDate(m_value.toDate()));
        return true;
    case Kind::IsFalse:
        *sql = QStringLiteral("%1 = 0").arg(quoted(column->name));
        return true;
    case Kind::All:
    case Kind::Any: {
        if (m_parts.empty()) {
            *sql = m_kind == Kind::All ? QStringLiteral("1") : QStringLiteral("0");
            return true;
        }
        QStringList pieces;
        for (const Criterion &part : m_parts) {
            QString piece;
            if (!part.compile(table, &piece, values, error))
                return false;
            pieces << QStringLiteral("(%1)").arg(piece);
        }
        *sql = pieces.join(m_kind == Kind::All ? QStringLiteral(" AND ") : QStringLiteral(" OR "));
        return true;
    }
    }
    return false;
}
