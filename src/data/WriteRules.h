#pragma once

#include "StoreResult.h"

#include <QString>
#include <QVariant>

class RecordCursor;

// The rules every store checks before it writes, worded for the user.
namespace WriteRules {

// Why nothing may be written to the agenda the cursor is on (it did not open whole, it turned out
// damaged, it cannot be changed), or an empty text. A cursor that is not open is opened first.
QString whyNotWritable(RecordCursor &cursor);

// Why value does not fit the text column of table (what names it for the user: "el asunto"), or
// an empty text. A longer value is refused, never cut.
QString whyTooLong(const QString &table, const QString &column, const QString &value, const QString &what);

// Points cursor at table of the agenda file and opens it. False, with the cursor's lastError()
// saying why, when it cannot be opened.
bool openOn(RecordCursor &cursor, const QString &databaseFile, const QString &table);

// The failure of the cursor's last operation, with its reason; its pending edit is cancelled.
StoreResult failure(RecordCursor &cursor);

enum class Lookup { Found, Absent, Unreadable };
// Puts cursor on the first row whose column equals value (a number, or a text compared as the
// cursor's finds compare it), telling a row that is not there from a file that could not be
// read, which a find alone reports alike. *why says what kept the file from being read.
Lookup findRow(RecordCursor &cursor, const QString &column, const QVariant &value, QString *why);

} // namespace WriteRules
