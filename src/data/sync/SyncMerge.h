#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>

// One part of a server item as the sync compares it: the whole of a single entry, task or card
// (key ""), or one entry of a series (keyed by the start the series gave it). Its fields in a
// fixed order, and what the item keeps with no field of the program's, compared line by line in
// any order so that a server that only reorders properties changes nothing.
struct SyncPart
{
    QStringList fields;
    QByteArray kept;

    bool operator==(const SyncPart &other) const;
};
using SyncParts = std::map<QString, SyncPart>;

// How the sync decides each case (docs/sync.md).
namespace SyncMerge {

// What became of an item on one side since the last sync.
enum class Side { Same, Changed, Gone };
enum class Action {
    Nothing,
    Send, // the local version goes over the server's
    SendNew, // the local version goes to the server as a new item (the server deleted its copy)
    Receive, // the server's version is written here
    Merge, // both changed: field by field
    RemoveThere, // deleted here: deleted on the server
    RemoveHere, // deleted on the server: deleted here
    Forget, // deleted on both sides
};
Action decide(Side here, Side there);

struct Merged
{
    SyncParts parts; // what the item holds after the merge, on both sides
    SyncParts conflicts; // the local version of each part a field of which changed on both sides
};
// Three-way merge of an item's parts against base, the server's text at the last sync. A field
// changed on one side takes that side's value; changed alike on both, that value; changed
// differently, the server's value, and the local part is kept as a conflict. A part deleted on
// one side and changed on the other stays, changed.
Merged merge(const SyncParts &base, const SyncParts &here, const SyncParts &there);

// Names the parts' content: equal for equal parts whatever the order of their kept lines.
QByteArray hash(const SyncParts &parts);

} // namespace SyncMerge
