#pragma once

#include <QString>

// The names of the agenda's tables and columns, in one place: the stores write by these, the
// browsing cursors read by them. docs/file-format.md describes each.
namespace Schema {

namespace Notas {
inline const QString Table = QStringLiteral("notas");
inline const QString Numero = QStringLiteral("numero");
inline const QString Fecha = QStringLiteral("fecha");
inline const QString Hora = QStringLiteral("hora");
inline const QString HoraAlarma = QStringLiteral("horaalarma");
inline const QString Texto = QStringLiteral("texto");
inline const QString Nota = QStringLiteral("nota");
} // namespace Notas

namespace Dias {
inline const QString Table = QStringLiteral("dias");
inline const QString Fecha = QStringLiteral("fecha");
inline const QString Texto = QStringLiteral("texto");
inline const QString EsFestivo = QStringLiteral("esfestivo");
} // namespace Dias

namespace FestivosFijos {
inline const QString Table = QStringLiteral("festivosfijos");
inline const QString Fecha = QStringLiteral("fecha");
inline const QString Texto = QStringLiteral("texto");
inline const QString EsFestivoSiempre = QStringLiteral("esfestivosiempre");
} // namespace FestivosFijos

namespace Tareas {
inline const QString Table = QStringLiteral("tareas");
inline const QString Fecha = QStringLiteral("Fecha");
inline const QString Hora = QStringLiteral("Hora");
inline const QString Tarea = QStringLiteral("Tarea");
inline const QString Terminada = QStringLiteral("Terminada");
inline const QString FechaAlarma = QStringLiteral("Fechaalarma");
inline const QString HoraAlarma = QStringLiteral("Horaalarma");
} // namespace Tareas

namespace Telefonos {
inline const QString Table = QStringLiteral("telefonos");
inline const QString Nombre = QStringLiteral("NOMBRE");
inline const QString Tel1 = QStringLiteral("TEL1");
inline const QString Tel2 = QStringLiteral("TEL2");
inline const QString Tel3 = QStringLiteral("TEL3");
inline const QString Fax = QStringLiteral("FAX");
inline const QString Email1 = QStringLiteral("EMAIL1");
inline const QString Email2 = QStringLiteral("EMAIL2");
inline const QString Email3 = QStringLiteral("EMAIL3");
inline const QString Direccion = QStringLiteral("DIRECCION");
inline const QString Poblacion = QStringLiteral("POBLACION");
inline const QString Provincia = QStringLiteral("PROVINCIA");
inline const QString Pais = QStringLiteral("PAIS");
} // namespace Telefonos

// What an imported or exported item carries beyond the program's fields (docs/file-format.md).
namespace Intercambio {
inline const QString Table = QStringLiteral("quillomar_intercambio");
inline const QString Tabla = QStringLiteral("tabla");
inline const QString Clave = QStringLiteral("clave");
inline const QString Uid = QStringLiteral("uid");
inline const QString Recurrencia = QStringLiteral("recurrencia");
inline const QString Conservado = QStringLiteral("conservado");
inline const QString Duracion = QStringLiteral("duracion");
inline const QString TodoElDia = QStringLiteral("todoeldia");
inline const QString Huella = QStringLiteral("huella");
} // namespace Intercambio

namespace Series {
inline const QString Table = QStringLiteral("quillomar_series");
inline const QString Uid = QStringLiteral("uid");
inline const QString Componente = QStringLiteral("componente");
} // namespace Series

// What a sync remembers of each server item and of each collection (docs/file-format.md).
namespace Sincronizacion {
inline const QString Table = QStringLiteral("quillomar_sincronizacion");
inline const QString Coleccion = QStringLiteral("coleccion");
inline const QString Href = QStringLiteral("href");
inline const QString Tabla = QStringLiteral("tabla");
inline const QString Uid = QStringLiteral("uid");
inline const QString Etag = QStringLiteral("etag");
inline const QString Huella = QStringLiteral("huella");
inline const QString Base = QStringLiteral("base");
} // namespace Sincronizacion

namespace Colecciones {
inline const QString Table = QStringLiteral("quillomar_colecciones");
inline const QString Coleccion = QStringLiteral("coleccion");
inline const QString Token = QStringLiteral("token");
} // namespace Colecciones

} // namespace Schema
