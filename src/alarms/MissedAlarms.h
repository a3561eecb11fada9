#pragma once

#include "DueAlarm.h"

#include <QDateTime>
#include <QList>

// The alarms that fell due while the program was closed: those of diary entries and unfinished
// tasks whose alarm minute lies after the last minute the scan looked at and before the minute
// the scan starts with, at most MaxDaysBack days ago, oldest first.
namespace MissedAlarms {

inline constexpr int MaxDaysBack = 7;

QList<DueAlarm> find(const QString &databaseFile, const QDateTime &lastScanned, const QDateTime &firstScan);

} // namespace MissedAlarms
