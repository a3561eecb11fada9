#pragma once

#include <QString>
#include <QVariant>
#include <initializer_list>
#include <utility>

class Messenger;
class RecordCursor;

// Writing fields of one diary entry that a window holds by its numero. The cursor may have been
// moved by another window since: it is put back on the entry first.
namespace EntryWrite {

// Writes the fields into entry numero through cursor. Returns an empty text when the row was
// written, otherwise why not (the cursor's pending edit is cancelled).
QString setFields(RecordCursor &cursor, qint64 numero, std::initializer_list<std::pair<QString, QVariant>> fields);

// Tells the user that a write did not reach the agenda ("No se ha podido guardar …") and why, in a
// critical message box, so no change is lost without the user knowing.
void tellNotWritten(Messenger *messenger, const QString &sentence, const QString &why);

} // namespace EntryWrite
