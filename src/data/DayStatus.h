#pragma once

#include <QDate>
#include <QString>

class Messenger;
class RecordCursor;

// What the agenda says of one day when it is shown: its yearly holiday (or the movable feast
// standing in its place), its own day text and holiday mark, and whether it is shown as a
// holiday. The week and the month calendar read days alike and only word them differently.
struct DayStatus
{
    // The yearly text of festivosfijos, or " VIERNES SANTO"/" PASCUA" without the space.
    QString fixedText;
    // festivosfijos has esfestivosiempre for the day, or the day is Good Friday.
    bool fixedHoliday = false;
    // dias has a row for the date; its texto and esfestivo.
    bool hasDayRow = false;
    QString dayText;
    bool dayHoliday = false;
    bool sunday = false;

    // Sundays, yearly holidays, Good Friday and days marked as holidays.
    bool isHoliday() const { return sunday || fixedHoliday || dayHoliday; }

    // Reads the day through the dias and festivosfijos cursors, which it moves. Easter is worked
    // out for Fridays and Sundays only; messenger (when given) is told of a year it cannot do.
    static DayStatus read(RecordCursor &dias, RecordCursor &fixed, const QDate &date, Messenger *messenger);
};
