#pragma once

#include "InterchangeLink.h"

#include <QHash>
#include <QString>
#include <memory>

class Database;

// The links between the agenda's rows and the items of calendar and address files, and the
// series imported entries were expanded from. An agenda of an earlier schema version, or one
// whose tables another client dropped, has none; the first write makes the tables.
class InterchangeLinks final
{
public:
    explicit InterchangeLinks(std::shared_ptr<Database> database);

    // Every link of table (or only those with uid, when it is given), by row key. False when the
    // agenda could not be read.
    bool read(const QString &table, QHash<qint64, InterchangeLink> *links, const QString &uid = {});
    // Every stored series, by UID: the text of its first VEVENT and its time zones.
    bool readSeries(QHash<QString, QByteArray> *series);

    // Writes within the caller's transaction.
    bool put(const InterchangeLink &link);
    bool putSeries(const QString &uid, const QByteArray &component);

    // A row of tareas or telefonos was deleted: its row id may be given again to another item,
    // which must not inherit its identity. Quietly nothing when the agenda has no links.
    static void forget(const QString &databaseFile, const QString &table, qint64 key);

private:
    bool present();

    std::shared_ptr<Database> m_database;
};
