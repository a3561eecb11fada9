#include "EntryWrite.h"

#include "Messenger.h"
#include "store/RecordCursor.h"

namespace EntryWrite {

QString setFields(RecordCursor &cursor, qint64 numero, std::initializer_list<std::pair<QString, QVariant>> fields)
{
    bool onEntry = numero <= 0 || cursor.currentKey() == numero;
    if (!onEntry) {
        cursor.FindFirst(Criterion::numberEquals(QStringLiteral("numero"), numero));
        onEntry = !cursor.NoMatch() && cursor.currentKey() == numero;
    }
    if (!onEntry)
        return QStringLiteral("la entrada ya no está en la agenda");
    bool written = cursor.Edit();
    for (const auto &[name, value] : fields)
        written = written && cursor.SetField(name, value);
    written = written && cursor.Update();
    if (written)
        return {};
    const QString why = cursor.lastError();
    cursor.CancelUpdate();
    return why.isEmpty() ? QStringLiteral("error desconocido") : why;
}

void tellNotWritten(Messenger *messenger, const QString &sentence, const QString &why)
{
    if (!messenger)
        return;
    messenger->tell(QStringLiteral("%1.\n\nMotivo: %2.").arg(sentence, why), QStringLiteral("Atención"),
                    Messenger::Icon::Critical);
}

} // namespace EntryWrite
