#include "FailureText.h"

#include <cerrno>
#include <sqlite3.h>

namespace FailureText {

QString ofSqlite(int code, int systemError)
{
    switch (code & 0xFF) {
    case SQLITE_CORRUPT:
        return QStringLiteral("el archivo está dañado");
    case SQLITE_NOTADB:
        return QStringLiteral("el archivo no es una agenda de Quillomar, o está dañado");
    case SQLITE_FULL:
        return ofSystem(ENOSPC);
    case SQLITE_READONLY:
        if (code == SQLITE_READONLY_DIRECTORY)
            return QStringLiteral("la carpeta del archivo es de solo lectura");
        return QStringLiteral("el archivo es de solo lectura");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("otro programa está usando el archivo y lo tiene bloqueado");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return ofSystem(EACCES);
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
        if (systemError != 0)
            return ofSystem(systemError);
        return (code & 0xFF) == SQLITE_CANTOPEN ? QStringLiteral("no se puede abrir el archivo") : ofSystem(EIO);
    case SQLITE_NOMEM:
        return ofSystem(ENOMEM);
    case SQLITE_TOOBIG:
        return QStringLiteral("el dato es demasiado grande");
    case SQLITE_INTERRUPT:
    case SQLITE_ABORT:
        return QStringLiteral("la operación se interrumpió");
    default:
        return QStringLiteral("error inesperado de la base de datos (código %1)").arg(code);
    }
}

QString ofSystem(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("el disco está lleno");
    case EDQUOT:
        return QStringLiteral("se ha agotado el espacio de disco permitido a su usuario");
    case EROFS:
        return QStringLiteral("el disco es de solo lectura");
    case EACCES:
    case EPERM:
        return QStringLiteral("no tiene permiso para usar el archivo o su carpeta");
    case ENOENT:
        return QStringLiteral("el archivo o su carpeta no existe");
    case ENOTDIR:
        return QStringLiteral("una parte de la ruta es un archivo y no una carpeta");
    case EEXIST:
        return QStringLiteral("ya hay un archivo con ese nombre");
    case EISDIR:
        return QStringLiteral("es una carpeta y no un archivo");
    case EIO:
        return QStringLiteral("el disco ha fallado al leer o escribir");
    case ENAMETOOLONG:
        return QStringLiteral("el nombre es demasiado largo");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("hay demasiados archivos abiertos");
    case ENOMEM:
        return QStringLiteral("no queda memoria libre");
    case ETXTBSY:
    case EBUSY:
        return QStringLiteral("otro programa está usando el archivo");
    default:
        return QStringLiteral("error %1 del sistema").arg(error);
    }
}

QString ofFile(QFileDevice::FileError error, int systemError)
{
    if (systemError != 0)
        return ofSystem(systemError);
    switch (error) {
    case QFileDevice::PermissionsError:
        return ofSystem(EACCES);
    case QFileDevice::ResourceError:
        return ofSystem(ENOSPC);
    case QFileDevice::ReadError:
        return QStringLiteral("no se pudo leer el archivo");
    case QFileDevice::OpenError:
        return QStringLiteral("no se puede abrir el archivo");
    case QFileDevice::RemoveError:
        return QStringLiteral("no se pudo borrar el archivo");
    case QFileDevice::RenameError:
        return QStringLiteral("no se pudo dar su nombre al archivo");
    default:
        return QStringLiteral("no se pudo escribir el archivo");
    }
}

} // namespace FailureText
