#include "TableSchema.h"

QString TableSchema::orderColumn() const
{
    for (const ColumnSchema &column : columns)
        if (column.kind == ColumnKind::Counter)
            return column.name;
    return QStringLiteral("rowid");
}

int TableSchema::indexOf(const QString &column) const
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(column, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

const std::vector<TableSchema> &TableSchema::agenda()
{
    static const std::vector<TableSchema> tables = {
        {QStringLiteral("notas"),
         {{QStringLiteral("numero"), ColumnKind::Counter},
          {QStringLiteral("fecha"), ColumnKind::Text, 10},
          {QStringLiteral("hora"), ColumnKind::Text, 5},
          {QStringLiteral("horaalarma"), ColumnKind::Text, 5},
          {QStringLiteral("texto"), ColumnKind::Text, 255},
          {QStringLiteral("nota"), ColumnKind::Memo}}},
        {QStringLiteral("dias"),
         {{QStringLiteral("fecha"), ColumnKind::Text, 10},
          {QStringLiteral("texto"), ColumnKind::Text, 50},
          {QStringLiteral("esfestivo"), ColumnKind::YesNo}}},
        {QStringLiteral("festivosfijos"),
         {{QStringLiteral("fecha"), ColumnKind::Text, 5},
          {QStringLiteral("esfestivosiempre"), ColumnKind::YesNo},
          {QStringLiteral("texto"), ColumnKind::Text, 50}}},
        {QStringLiteral("tareas"),
         {{QStringLiteral("Fecha"), ColumnKind::DateTime},
          {QStringLiteral("Hora"), ColumnKind::Text, 5},
          {QStringLiteral("Terminada"), ColumnKind::YesNo},
          {QStringLiteral("Fechaalarma"), ColumnKind::DateTime},
          {QStringLiteral("Horaalarma"), ColumnKind::Text, 5},
          {QStringLiteral("Tarea"), ColumnKind::Memo}}},
        {QStringLiteral("telefonos"),
         {{QStringLiteral("NOMBRE"), ColumnKind::Text, 255},
          {QStringLiteral("TEL1"), ColumnKind::Text, 9},
          {QStringLiteral("TEL2"), ColumnKind::Text, 9},
          {QStringLiteral("TEL3"), ColumnKind::Text, 9},
          {QStringLiteral("FAX"), ColumnKind::Text, 9},
          {QStringLiteral("EMAIL1"), ColumnKind::Text, 50},
          {QStringLiteral("EMAIL2"), ColumnKind::Text, 50},
          {QStringLiteral("EMAIL3"), ColumnKind::Text, 50},
          {QStringLiteral("DIRECCION"), ColumnKind::Text, 50},
          {QStringLiteral("POBLACION"), ColumnKind::Text, 50},
          {QStringLiteral("PROVINCIA"), ColumnKind::Text, 50},
          {QStringLiteral("PAIS"), ColumnKind::Text, 50}}},
    };
    return tables;
}

const TableSchema *TableSchema::find(const QString &table)
{
    for (const TableSchema &schema : agenda())
        if (schema.name.compare(table, Qt::CaseInsensitive) == 0)
            return &schema;
    return nullptr;
}
