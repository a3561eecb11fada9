#pragma once

#include "ImportPlan.h"

#include <QByteArray>
#include <QDate>
#include <QString>

// Reads the events and to-dos of an iCalendar text (already checked whole by InterchangeFile)
// into diary entries and tasks, with what has no field in the program kept beside them. A
// repeating event becomes one entry per repetition, linked to its series. docs/interchange.md
// tells each rule.
class CalendarReader final
{
public:
    struct Result
    {
        ImportPlan plan;
        QString error; // why the text is refused, in the user's words; empty when it is not
        int line = 0; // where, when known
    };

    // Endless series are expanded from a year before today to two years after it.
    static Result read(const QByteArray &text, const QDate &today);

    // An entry's values as one text: a series' entry that still has them goes out as a plain
    // repetition of its series, one that lost them as a changed one.
    static QString print(const Entry &entry);

    // Longest series made into entries; the repetitions past it are counted.
    static constexpr int SeriesLimit = 1000;
};
