#pragma once

#include <QDate>
#include <QString>

// One diary entry as the agenda keeps it: a row of notas. Texts read as empty where the row
// holds nothing (Null).
struct Entry
{
    qint64 numero = -1; // the entry's identity, given by the agenda when it is added
    QDate date;
    QString time; // "HH:MM"
    QString text; // the short text, the entry's subject
    QString note; // the long note; empty when there is none
    QString alarmTime; // "HH:MM"; empty when the entry has no alarm

    bool operator==(const Entry &) const = default;
};
