#pragma once

#include "Settings.h"

#include <QDate>
#include <QSize>
#include <QString>
#include <optional>

class Messenger;

// The shared procedures of the program: the settings file and the date and time rules.
namespace Module1 {

// Rounds to the nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

// Rounds half to even and clamps into -32768..32767: every number the program keeps in its
// settings passes through here, so a saved file always reads back whole.
qint16 ToSetting(double value);

// Defaults for a screen of the given size in twips; dataFolder is the default data folder.
void DefaultSettings(Settings &settings, QSize screenTwips, const QString &dataFolder);

// Fills settings from the file, or from the defaults when no file exists.
// A short file applies the lines it has; a number out of range stops reading at its line.
void LoadSettings(Settings &settings, const QString &path, QSize screenTwips, const QString &defaultDataFolder);

// Parses one number line as the settings file reads it; empty when out of the 16-bit range.
std::optional<qint16> ParseSettingNumber(const QString &line);

// Writes the nine lines (UTF-8, CR LF). Replaces the file only when the whole write succeeded.
bool SaveSettings(const Settings &settings, const QString &path, QString *error = nullptr);

// Whether text is a time "HH:MM" by the program's rule: only the first three and the last two
// characters are examined.
bool CheckTime(const QString &text);

// The day the program shows for an out-of-range Easter: the empty date value.
QDate EmptyDate();

// Easter Sunday of year (1900 to 2100). Outside that range it tells the user through messenger
// (when given) and returns EmptyDate().
QDate EasterSunday(int year, Messenger *messenger);

} // namespace Module1
