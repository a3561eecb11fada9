#pragma once

#include <QDate>
#include <QString>

// What the agenda keeps of one date of its own: a row of dias.
struct Day
{
    QDate date;
    QString text; // the day's own text
    bool holiday = false;

    // A row that says nothing (no text, a working day) is not kept.
    bool saysSomething() const { return !text.isEmpty() || holiday; }
    bool operator==(const Day &) const = default;
};

// What the agenda keeps of one day and month of every year: a row of festivosfijos.
struct YearlyDay
{
    int day = 0;
    int month = 0;
    QString text; // the text of that day and month
    bool alwaysHoliday = false;

    static YearlyDay of(const QDate &date) { return {date.day(), date.month(), {}, false}; }
    bool saysSomething() const { return !text.isEmpty() || alwaysHoliday; }
    bool operator==(const YearlyDay &) const = default;
};
