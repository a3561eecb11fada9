#pragma once

#include <QDateTime>
#include <QString>

// The last minute the alarm scan looked at, kept in the agenda itself (table quillomar_estado),
// so that the next start can tell which alarms fell due while the program was closed. The
// table is the program's own and optional: an agenda without it opens as any other, and it is
// made at the first write.
namespace AlarmMark {

inline constexpr char Table[] = "quillomar_estado";
inline constexpr char Key[] = "alarmas_revisadas_hasta";

// The remembered minute; invalid when the agenda has none (a first start) or cannot be read.
QDateTime read(const QString &databaseFile);
// Remembers moment. Returns false when it could not be written.
bool write(const QString &databaseFile, const QDateTime &moment);

} // namespace AlarmMark
