#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <vector>

struct TableSchema;

// A condition that a find selects records by. Values are kept apart from the SQL text and bound
// when the find runs, so no value (an apostrophe, a "%", a "*") can change what is selected.
// Text comparisons ignore letter case across all of Unicode.
class Criterion
{
public:
    // column equals text, ignoring case ("NOMBRE='…'", "tarea='…'", "fecha='dd/mm/yyyy'").
    static Criterion textEquals(const QString &column, const QString &value);
    // column equals a number ("numero=…").
    static Criterion numberEquals(const QString &column, qint64 value);
    // column holds value somewhere, ignoring case ("nombre like '*…*'"); Null never matches.
    static Criterion contains(const QString &column, const QString &value);
    // One of the columns holds value somewhere, ignoring case and the accents of vowels
    // ("garcia" finds "García", "ñ" stays a letter of its own); Null never matches. The search
    // people type into: the phone book's names and numbers, the diary's texts and notes.
    static Criterion containsIgnoringAccents(const QStringList &columns, const QString &value);
    // column holds the date. On a date/time column, the date at midnight; on a Date text
    // column ("dd/mm/yyyy"), the text of that date.
    static Criterion dateEquals(const QString &column, const QDate &value);
    // a yes/no column is false ("not terminada").
    static Criterion isFalse(const QString &column);

    static Criterion all(std::vector<Criterion> parts);
    static Criterion any(std::vector<Criterion> parts);

    // The criteria the diary and the tasks are searched by.
    static Criterion entryAlarm(const QDate &date, const QString &time);
    static Criterion taskAlarm(const QDate &date, const QString &time);
    static Criterion entriesContaining(const QString &value);
    // An entry whose short text or note holds value, ignoring case and the accents of vowels.
    static Criterion entriesMentioning(const QString &value);

    // Whether this is a containsIgnoringAccents criterion, and its columns and value.
    bool ignoresAccents(QStringList *columns, QString *value) const;

    // Whether this is one column equal to one value compared as stored (a date, a time, a
    // number: what an index on the column serves), and that column's position and the value.
    bool plainEquality(const TableSchema &table, int *column, QVariant *value) const;

    // SQL for the table, with the values to bind in order. False when a column is unknown.
    bool compile(const TableSchema &table, QString *sql, QVariantList *values, QString *error) const;

private:
    enum class Kind { TextEquals, NumberEquals, Contains, ContainsIgnoringAccents, DateEquals, IsFalse, All, Any };
    Kind m_kind = Kind::All;
    QString m_column;
    QStringList m_columns;
    QVariant m_value;
    std::vector<Criterion> m_parts;
};
