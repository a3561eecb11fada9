#pragma once

#include <QFileDevice>
#include <QString>

// Why a file operation failed, in the user's words: every reason the program shows for a failed
// read or write of the agenda, of a copy or of one of its own files comes from here, never from
// SQLite's or the system's own (English) message.
namespace FailureText {

// From a SQLite result code (primary or extended) and the system error SQLite met, if any.
QString ofSqlite(int code, int systemError = 0);
// From a system error number (errno).
QString ofSystem(int error);
// From a failed Qt file operation: the system error met (errno, set to 0 before the operation and
// read right after it) when there is one, else Qt's kind of error.
QString ofFile(QFileDevice::FileError error, int systemError);

} // namespace FailureText
