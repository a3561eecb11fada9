#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QStringList>

// What one sync pass did, for the user.
struct SyncReport
{
    bool ok = false; // the pass went to its end
    QString error; // otherwise why not, in one sentence of the user's words
    QDateTime finished;
    int received = 0; // items the server brought: new or changed here
    int sent = 0; // items written to the server
    int deletedHere = 0; // deleted here because they were deleted on the server
    int deletedThere = 0; // deleted on the server because they were deleted here
    QStringList conflicts; // one line per item kept twice: what it is and where the copy is
    // Deletions held back for the user to confirm (a collection that came back empty, or lost
    // more than half its items in one pass): how many, and the question to ask.
    int heldDeletions = 0;
    QString heldQuestion;

    // One Spanish sentence: what came and went, or the error.
    QString summary() const;
};
Q_DECLARE_METATYPE(SyncReport)
