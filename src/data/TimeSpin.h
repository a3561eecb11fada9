#pragma once

#include <QString>
#include <QStringView>

// The arithmetic of the time spinners of the entry strip and the alarm strip. The spinners only
// report a direction; these functions turn a step into the new text of the time box.
namespace TimeSpin {

// The number a piece of text starts with, as the time box is read: leading spaces skipped,
// digits read up to the first other character, 0 when there are none.
int leadingNumber(QStringView text);

// A number as the time box shows it: the last two characters of "00" followed by it.
QString twoDigits(int value);

// One step of an hours spinner: an hour later (up) or earlier, round the clock. The minutes keep
// their value (a box that holds no number there shows 00).
QString stepHours(const QString &time, bool later);

// One step of a minutes spinner: delta minutes (±5), carrying into or borrowing from the hours.
QString stepMinutes(const QString &time, int delta);

// The columns that keep a time hold five characters: a longer time box is never stored.
constexpr int TimeWidth = 5;

} // namespace TimeSpin
