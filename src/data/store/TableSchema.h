#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// What the store knows of a column: how its values are kept and read back.
enum class ColumnKind {
    Counter, // 32-bit auto-increment key
    Text, // text with a maximum width in characters
    Memo, // long text
    YesNo, // true or false
    DateTime, // a date, with or without a time of day
};

struct ColumnSchema
{
    QString name;
    ColumnKind kind;
    int width = 0; // characters, for Text
};

struct TableSchema
{
    QString name;
    std::vector<ColumnSchema> columns;

    // The column that orders the cursor: the key of notas, the row id elsewhere.
    QString orderColumn() const;

    // Index of a column by name, ignoring case; -1 when the table has none.
    int indexOf(const QString &column) const;

    // The five tables of the agenda, in the order they are created.
    static const std::vector<TableSchema> &agenda();
    static const TableSchema *find(const QString &table);
};
