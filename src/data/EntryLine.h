#pragma once

#include <QString>

// One line of a day's list: time, mark, short text, then 255 spaces and the entry's numero in
// ten digits. The number travels with the line, out of sight, so the entry can be found again.
namespace EntryLine {

constexpr int FillerLength = 255;
constexpr int NumberLength = 10;

QChar Mark(bool hasNote, bool hasAlarm);
QString Build(const QString &time, bool hasNote, bool hasAlarm, const QString &text, qint64 numero);
// What the user sees of a line: everything before the filler.
QString Visible(const QString &line);
// The last ten characters: the zero-padded numero.
QString Number(const QString &line);
// Whether line a comes before line b in a day's list, which keeps its lines in the order of their
// text: by time first, since every line begins with it, then as words are sorted in Spanish
// (letter case and accents aside, ñ a letter of its own after n), then as written.
bool sortsBefore(const QString &a, const QString &b);

} // namespace EntryLine
