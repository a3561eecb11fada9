#pragma once

#include "SyncTarget.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>

struct AppPaths;
struct SyncReport;

// The account the diary syncs with: the server, the user and the collections chosen, with what
// the last pass did. It is kept in an ini file of the program's own beside the settings file
// (which keeps its nine lines); the password never goes there, it is the keyring's. For scripts
// and tests, QUILLOMAR_DAV_URL, QUILLOMAR_DAV_USER and QUILLOMAR_DAV_PASSWORD, when set, take the
// place of the saved account and password.
struct SyncAccount
{
    QUrl server; // the server, to be discovered, or one collection
    QString user;
    QUrl calendar; // empty: found on the server
    QUrl tasks;
    QUrl addressBook;
    QDateTime lastSync; // when the last pass ended, whether it went well or not
    QString lastSummary; // what it did, or why it failed, in the user's words
    QStringList conflicts; // the items the last pass kept twice
    bool fromEnvironment = false; // the server and user came from the environment

    bool isSet() const { return server.isValid() && !server.isEmpty(); }

    // The account saved beside the settings, or the environment's in its place.
    static SyncAccount load(const AppPaths &paths);
    // Keeps the account (unless the environment gave it) and the last pass's outcome.
    void save(const AppPaths &paths) const;
    static QString fileFor(const AppPaths &paths);

    // The password the environment gives, if it gives one.
    static bool environmentHasPassword();
    static QString environmentPassword();

    // The name the keyring keeps the password under: the user at the server.
    QString keyringKey() const;
    SyncTarget target(const QString &password) const;
    // Takes in what a pass did: its time, its summary and its conflicts. retried: a failed pass
    // is tried again by itself, and the summary says so.
    void record(const SyncReport &report, bool retried = false);
    bool operator==(const SyncAccount &) const = default;
};
