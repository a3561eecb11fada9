#pragma once

#include "Day.h"
#include "StoreResult.h"
#include "store/RecordCursor.h"

#include <optional>

class Diary;

// Where every window reads and writes what the agenda keeps of single dates (dias) and of a day
// and month of every year (festivosfijos). The store looks a date up itself, through cursors no
// window moves, before it adds a row for it, so a date keeps at most one row of each; a row that
// says nothing is deleted rather than kept. It refuses a text longer than the agenda keeps (never
// cutting it) and any write to an agenda that may not be written; and after every write that
// changed something it tells the diary's views (Diary::changed, kind Days). A date's row is known
// by its date: the key of a date written is its Julian day number; a yearly row, which stands for
// that day of every year, is told with the key -1 (many days).
class DayStore final
{
public:
    explicit DayStore(Diary &diary);
    DayStore(const DayStore &) = delete;
    DayStore &operator=(const DayStore &) = delete;

    // Works on the agenda file from now on (the diary opens it).
    void open(const QString &databaseFile);

    // The date's own row, and the row of its day and month; nothing when the agenda has none.
    std::optional<Day> find(const QDate &date);
    std::optional<YearlyDay> findYearly(const QDate &date);

    // Makes the date's row say day's text and holiday mark: added, changed, or deleted when it
    // says nothing.
    StoreResult save(const Day &day);
    // The same for the yearly row of day's day and month.
    StoreResult saveYearly(const YearlyDay &day);
    // A holiday that comes from elsewhere (a yearly holiday, Good Friday) becomes a date of its
    // own: the date gets a holiday row when it has none; a row it has stays as it is.
    StoreResult markHoliday(const QDate &date);

private:
    Diary &m_diary;
    RecordCursor m_dias;
    RecordCursor m_yearly;
};
