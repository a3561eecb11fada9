#include "InterchangeLinks.h"

#include "data/Schema.h"
#include "data/store/Database.h"

#include <sqlite3.h>

namespace {

namespace Column = Schema::Intercambio;

} // namespace

InterchangeLinks::InterchangeLinks(std::shared_ptr<Database> database)
    : m_database(std::move(database))
{}

bool InterchangeLinks::present()
{
    bool ok = false;
    return m_database
        ->scalar(QStringLiteral("SELECT name FROM sqlite_schema WHERE type='table' AND name=?"), {Column::Table}, &ok)
        .isValid();
}

bool InterchangeLinks::read(const QString &table, QHash<qint64, InterchangeLink> *links, const QString &uid)
{
    links->clear();
    if (!present())
        return true;
    QString sql = QStringLiteral("SELECT %1, %2, %3, %4, %5, %6, %7 FROM %8 WHERE %9 = ?")
                      .arg(Column::Clave, Column::Uid, Column::Recurrencia, Column::Conservado, Column::Duracion,
                           Column::TodoElDia, Column::Huella, Column::Table, Column::Tabla);
    QVariantList values{table};
    if (!uid.isNull()) {
        sql += QStringLiteral(" AND %1 = ?").arg(Column::Uid);
        values << uid;
    }
    return m_database->exec(sql, values, [&](sqlite3_stmt *row) {
        InterchangeLink link;
        link.table = table;
        link.key = sqlite3_column_int64(row, 0);
        link.uid = Database::columnValue(row, 1).toString();
        link.recurrence = Database::columnValue(row, 2).toString();
        link.kept = Database::columnValue(row, 3).toString().toUtf8();
        const QVariant length = Database::columnValue(row, 4);
        link.length = length.isValid() ? length.toLongLong() : -1;
        link.allDay = sqlite3_column_int(row, 5) != 0;
        link.print = Database::columnValue(row, 6).toString();
        links->insert(link.key, link);
        return true;
    });
}

bool InterchangeLinks::readSeries(QHash<QString, QByteArray> *series)
{
    series->clear();
    if (!present())
        return true;
    return m_database->exec(QStringLiteral("SELECT %1, %2 FROM %3")
                                .arg(Schema::Series::Uid, Schema::Series::Componente, Schema::Series::Table),
                            {}, [&](sqlite3_stmt *row) {
                                series->insert(Database::columnValue(row, 0).toString(),
                                               Database::columnValue(row, 1).toString().toUtf8());
                                return true;
                            });
}

bool InterchangeLinks::put(const InterchangeLink &link)
{
    const auto orNull = [](const QString &text) { return text.isEmpty() ? QVariant() : QVariant(text); };
    return m_database->write(
        QStringLiteral("INSERT OR REPLACE INTO %1 (%2, %3, %4, %5, %6, %7, %8, %9) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
            .arg(Column::Table, Column::Tabla, Column::Clave, Column::Uid, Column::Recurrencia, Column::Conservado,
                 Column::Duracion, Column::TodoElDia, Column::Huella),
        {link.table, link.key, link.uid, orNull(link.recurrence), orNull(QString::fromUtf8(link.kept)),
         link.length < 0 ? QVariant() : QVariant(link.length), link.allDay ? 1 : 0, orNull(link.print)});
}

bool InterchangeLinks::putSeries(const QString &uid, const QByteArray &component)
{
    return m_database->write(QStringLiteral("INSERT OR REPLACE INTO %1 (%2, %3) VALUES (?, ?)")
                                 .arg(Schema::Series::Table, Schema::Series::Uid, Schema::Series::Componente),
                             {uid, QString::fromUtf8(component)});
}

void InterchangeLinks::forget(const QString &databaseFile, const QString &table, qint64 key)
{
    const std::shared_ptr<Database> database = Database::open(databaseFile, nullptr);
    if (!database || !InterchangeLinks(database).present())
        return;
    database->write(
        QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND %3 = ?").arg(Column::Table, Column::Tabla, Column::Clave),
        {table, key});
}
