#pragma once

#include <QDate>
#include <QString>

// What the user asked to have on paper: one of the diary's views, the day that places it, and how.
struct PrintRequest
{
    enum class Kind { Week, Month, Tasks, Phones };

    Kind kind = Kind::Week;
    QDate date; // a day of the week or of the month printed
    QDate today; // the day marked as today
    QString phoneSearch; // the phone book's search whose cards are printed; empty: every card
    bool includeNotes = false; // the entries' long notes under them ("Incluir notas")
};
