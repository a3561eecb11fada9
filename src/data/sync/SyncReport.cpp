#include "SyncReport.h"

namespace {

QString count(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
}

} // namespace

QString SyncReport::summary() const
{
    if (!ok)
        return error.endsWith(u'.') ? error : error + u'.';
    QStringList parts;
    if (received > 0)
        parts << count(received, "recibido", "recibidos");
    if (sent > 0)
        parts << count(sent, "enviado", "enviados");
    if (deletedHere > 0)
        parts << count(deletedHere, "borrado aquí", "borrados aquí");
    if (deletedThere > 0)
        parts << count(deletedThere, "borrado en el servidor", "borrados en el servidor");
    QString text = parts.isEmpty() ? QStringLiteral("Sincronizado: nada que cambiar")
                                   : QStringLiteral("Sincronizado: ") + parts.join(QStringLiteral(", "));
    if (!conflicts.isEmpty())
        text += QStringLiteral("; ") + count(int(conflicts.size()), "conflicto", "conflictos") +
            QStringLiteral(" con las dos versiones guardadas");
    if (heldDeletions > 0)
        text += QStringLiteral("; ") + count(heldDeletions, "borrado espera", "borrados esperan") +
            QStringLiteral(" confirmación");
    if (!error.isEmpty())
        text += QStringLiteral("; ") + error;
    return text + u'.';
}
