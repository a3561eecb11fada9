#pragma once

#include <QString>

class Messenger;

// Telling the user of a write to the agenda that did not happen.
namespace EntryWrite {

// Tells the user that a write did not reach the agenda ("No se ha podido guardar …") and why, in a
// critical message box, so no change is lost without the user knowing.
void tellNotWritten(Messenger *messenger, const QString &sentence, const QString &why);

} // namespace EntryWrite
