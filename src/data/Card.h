#pragma once

#include <QString>
#include <array>

// One phone card: its twelve texts in the order of the telefonos table.
struct Card
{
    enum Field { Name, Phone1, Phone2, Phone3, Fax, Email1, Email2, Email3, Address, Town, Province, Country };
    static constexpr int FieldCount = 12;

    qint64 key = -1; // the row id; -1 for a card not yet in the agenda
    std::array<QString, FieldCount> fields;

    const QString &name() const { return fields[Name]; }
    bool operator==(const Card &) const = default;
};
