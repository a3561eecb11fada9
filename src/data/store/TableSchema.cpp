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
        // The cards' texts take any length: a phone number with its prefix and spaces, or a long
        // address, is kept whole rather than cut short or refused when the card is saved.
        {QStringLiteral("telefonos"),
         {{QStringLiteral("NOMBRE"), ColumnKind::Memo},
          {QStringLiteral("TEL1"), ColumnKind::Memo},
          {QStringLiteral("TEL2"), ColumnKind::Memo},
          {QStringLiteral("TEL3"), ColumnKind::Memo},
          {QStringLiteral("FAX"), ColumnKind::Memo},
          {QStringLiteral("EMAIL1"), ColumnKind::Memo},
          {QStringLiteral("EMAIL2"), ColumnKind::Memo},
          {QStringLiteral("EMAIL3"), ColumnKind::Memo},
          {QStringLiteral("DIRECCION"), ColumnKind::Memo},
          {QStringLiteral("POBLACION"), ColumnKind::Memo},
          {QStringLiteral("PROVINCIA"), ColumnKind::Memo},
          {QStringLiteral("PAIS"), ColumnKind::Memo}}},
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
