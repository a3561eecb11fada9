#pragma once

#include <QByteArray>
#include <QString>

// What the agenda keeps of one item beyond the program's own fields, so that it goes out again
// as it came in: a row of quillomar_intercambio (docs/file-format.md).
struct InterchangeLink
{
    QString table; // notas, tareas or telefonos
    qint64 key = -1; // the row: numero of notas, the row id elsewhere
    QString uid;
    QString recurrence; // of an entry expanded from a series: the start it had in the series
    QByteArray kept; // the properties the program has no field for, as file text
    qint64 length = -1; // seconds from start to end; -1: none given
    bool allDay = false;
    QString print; // of a series' entry: its values as the series gives them

    bool operator==(const InterchangeLink &) const = default;
};
