#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The book's materials, the same in every window: the cream paper, the brown ink of titles, the
// serif type of headers and captions, and the warm box the user types diary texts into.
namespace Theme {

inline const QColor Paper(0xfb, 0xf6, 0xe8);
inline const QColor PaperEdge(0xd8, 0xcc, 0xb0);
inline const QColor Ink(0x4a, 0x2e, 0x1c);
inline const QColor EntryBox(255, 224, 192);
// Holidays and Sundays, in the week and in the calendar.
inline const QColor Holiday(192, 0, 0);

// "Times New Roman" where the desktop has it, else a serif with the same metrics.
QFont serif(qreal points, bool bold = false, bool italic = false);

// The serif of what the program writes itself, in Spanish: the names of days and months, dates
// and numbers. Every serif face has all their letters, so no other face is looked for to stand in
// for a missing one, which the font system would sort every installed font for.
QFont serifCaption(qreal points, bool bold = false, bool italic = false);

// Paints a widget's background with the entry box colour.
void paintEntryBox(QWidget &box);

} // namespace Theme
