#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QVariant>

// The ways dates travel through the program: Date text "dd/mm/yyyy" in the diary's tables,
// ISO text for the task table's date/time columns, and the Spanish names shown to the user.
namespace DateText {

// "dd/mm/yyyy", the exact form every lookup by date compares.
QString fromDate(const QDate &date);
// The date of a Date text; invalid when the text is not one.
QDate toDate(const QString &text);

// How a date/time column keeps a value: "yyyy-MM-dd", or "yyyy-MM-ddTHH:mm:ss" with a time.
QString toStored(const QDate &date);
QString toStored(const QDateTime &dateTime);
// A date/time column's value as read: a QDate without a time of day, a QDateTime with one.
QVariant fromStored(const QString &text);

// The locale of every name and long date shown: the system's when it is a Spanish one,
// Spanish (Spain) otherwise.
QLocale spanishLocale();

} // namespace DateText
