#include "EntryWrite.h"

#include "Messenger.h"

namespace EntryWrite {

void tellNotWritten(Messenger *messenger, const QString &sentence, const QString &why)
{
    if (!messenger)
        return;
    messenger->tell(QStringLiteral("%1.\n\nMotivo: %2.").arg(sentence, why), QStringLiteral("Atención"),
                    Messenger::Icon::Critical);
}

} // namespace EntryWrite
