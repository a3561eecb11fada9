#pragma once

#include "DueAlarm.h"

#include <QDateTime>
#include <QList>

// The alarms that fell due while the program could not ring them (it was closed, the computer
// slept, the clock jumped ahead): those of diary entries, unfinished tasks and put-off reminders
// whose minute lies after lastScanned and before firstScan, at most MaxDaysBack days before
// firstScan, oldest first.
namespace MissedAlarms {

inline constexpr int MaxDaysBack = 7;

QList<DueAlarm> find(const QString &databaseFile, const QDateTime &lastScanned, const QDateTime &firstScan);

} // namespace MissedAlarms
