#pragma once

#include "DavServer.h"
#include "SyncMerge.h"
#include "data/interchange/InterchangeLink.h"

#include <QHash>
#include <QList>
#include <QString>
#include <memory>

class Database;
class Diary;

// The diary's side of a sync pass, on the diary's thread: what the agenda holds of each server
// item, written and read through the diary's stores and the interchange's mapping, each item with
// its sync state in one transaction (the first such write brings the agenda to schema 3).
class SyncLocal final
{
public:
    explicit SyncLocal(Diary &diary);

    // What the agenda remembers of one server item since the last sync.
    struct State
    {
        QString href;
        QString table; // notas, tareas or telefonos; empty: an item the diary does not take
        QString uid;
        QString etag;
        QByteArray hash; // of the item's parts here when it was last in step
        QByteArray base; // the server's text then
    };
    struct Scan
    {
        QHash<QString, QByteArray> items; // the items here, by UID: the hash of their parts
        QHash<QString, QString> tables; // and their table
        QHash<QString, State> states; // by href
        QString token;
    };
    // The collection's sync token, read without writing anything.
    bool token(const QString &collection, QString *token);
    // Gives a UID to the items of tables that have none, then reads them and the collection's state.
    bool scan(const QString &collection, const QStringList &tables, Scan *scan);

    // Text for the server, and what is remembered once it is there.
    struct Outgoing
    {
        QString href;
        QString etag; // empty: a new item
        QString table;
        QString uid;
        QByteArray text;
        QByteArray hash;
    };
    struct Outcome
    {
        SyncMerge::Action action = SyncMerge::Action::Nothing;
        State state; // what is remembered of the item now
        QList<Outgoing> sends; // what goes to the server after it (the merged item, conflict copies)
        QStringList conflicts; // one line for each item kept twice
    };
    // A server item whose text is new since the last sync (state null: never seen before):
    // received, merged or found unchanged, and written here with its state.
    bool receive(const QString &collection, const State *state, const DavItem &item, const QStringList &tables,
                 Outcome *outcome);
    // The item uid as it is here now, for the server.
    bool outgoing(const QString &collection, const QString &table, const QString &uid, Outgoing *outgoing);
    // The server took outgoing and gave it etag.
    bool sent(const QString &collection, const Outgoing &outgoing, const QString &etag);
    // Deletes the item of state here (deleted on the server), and its state.
    bool removeHere(const QString &collection, const State &state);
    bool forget(const QString &collection, const QString &href);
    bool saveToken(const QString &collection, const QString &token);

    QString error() const { return m_error; }

    // Where the sync takes an iCalendar text's items, by what it holds.
    static QString tableOf(const QByteArray &text);
    static QString newUid();

private:
    struct Item
    {
        QString table;
        QString uid;
        SyncParts parts;
        QHash<QString, InterchangeLink> links; // by part key
        QHash<qint64, QString> rows; // here: the rows of the item and their part keys
        QByteArray series; // the series' text, for an entry of one
    };
    bool fail(const QString &why);
    bool begin();
    bool commit();
    void rollback();
    bool readItems(const QString &table, const QString &uid, QHash<QString, Item> *items);
    static bool parse(const QByteArray &text, Item *item);
    bool write(const Item &item);
    bool removeRows(const Item &item);
    bool putState(const QString &collection, const State &state);
    QByteArray textOf(const Item &item);
    Item conflictCopy(const Item &item, const SyncPart &part, QString *line);

    Diary &m_diary;
    std::shared_ptr<Database> m_database;
    QString m_error;
};
