#pragma once

#include <QColor>
#include <QFont>
#include <QString>

struct DayStatus;

// The type, colours and wording every printed view shares.
namespace PrintText {

// Headers and captions in the book's serif; lists in a sans that has the marks used on paper.
QFont serif(qreal points, bool bold = false, bool italic = false);
QFont sans(qreal points, bool bold = false, bool italic = false);
// The one colour on paper besides black: holidays and Sundays.
QColor holiday();

QString capitalizeFirst(const QString &text);
// A day's holiday text and own text on one line ("VIERNES SANTO - Viaje"), or empty.
QString dayLine(const DayStatus &status);
// Why the agenda could not be read, from a cursor's reason (a sentence without its capital, to
// follow the program's name on a terminal).
QString unreadable(const QString &reason);

} // namespace PrintText
