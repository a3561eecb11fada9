#pragma once

#include <QUrl>

// Where a sync pass goes: the account and the collections the user chose. A collection left
// empty is found on the server (the first calendar that takes events, the first that takes
// to-dos, the first address book); a server without one of them simply does not sync it.
struct SyncTarget
{
    QUrl server; // the address the user gave: the server, or a collection
    QString user;
    QString password; // never written to any file
    QUrl calendar; // entries, and tasks when tasks is empty and it takes VTODO
    QUrl tasks;
    QUrl addressBook;
};
