#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// A calendar or address book on a CalDAV/CardDAV server.
struct DavCollection
{
    QUrl url; // ends with '/'
    QString name; // its display name; the last part of its path when it has none
    bool addressBook = false;
    QStringList components; // of a calendar: what it takes ("VEVENT", "VTODO"); empty: everything
    bool operator==(const DavCollection &) const = default;
};

// One item of a collection: its path on the server, its ETag and, when fetched, its text.
struct DavItem
{
    QString href; // the path as the server gives it (percent-encoded, starting with '/')
    QString etag; // with its quotes, as the server gives it
    QByteArray data;
    bool operator==(const DavItem &) const = default;
};

// How the server answered. Anything but Ok carries a message in the user's words.
struct DavAnswer
{
    enum class Kind {
        Ok,
        Unreachable, // no connection, a timeout, a connection lost midway
        Unauthorized, // 401 or 403 on the user's own collections: the name or password is wrong
        Certificate, // the server's HTTPS certificate could not be verified
        Precondition, // 412: the item changed (If-Match) or already exists (If-None-Match)
        NotFound, // 404 or 410
        Refused, // any other 4xx, or a write answered with a multistatus
        ServerError, // 5xx, or an answer that is not what a DAV server sends
        Cancelled,
    };
    Kind kind = Kind::Ok;
    int status = 0; // the HTTP status, 0 when there was none
    QString message; // e.g. "No se puede conectar con el servidor nube.example.org"

    explicit operator bool() const { return kind == Kind::Ok; }
};

// The server the diary syncs with, as the sync pass sees it. Every call blocks until the server
// answered, its time ran out or cancel() was called: calls are made from a thread of the sync's
// own, never from the window's, and the object is made, used and deleted on that thread.
// Redirects are followed (a PROPFIND or REPORT stays one), HTTPS certificates are verified.
class DavServer
{
public:
    virtual ~DavServer() = default;

    // The calendars and address books of the user. The URL given when the server was made may
    // name the server (found through /.well-known/caldav and /.well-known/carddav,
    // current-user-principal, calendar-home-set and addressbook-home-set) or one collection.
    virtual DavAnswer discover(QList<DavCollection> *collections) = 0;
    // Every item of a collection, with its ETag and without its text.
    virtual DavAnswer list(const QUrl &collection, QList<DavItem> *items) = 0;
    // What changed since token (RFC 6578 sync-collection; an empty token: everything), without
    // the texts, and the token to give next time. Any failure (servers answer an old token with
    // 403, 409 or 500) means: list the collection instead.
    virtual DavAnswer changes(const QUrl &collection, const QString &token, QList<DavItem> *changed,
                              QStringList *removed, QString *nextToken) = 0;
    // The texts of the items at hrefs (calendar-multiget or addressbook-multiget); an item the
    // server no longer has is left out.
    virtual DavAnswer fetch(const QUrl &collection, const QStringList &hrefs, QList<DavItem> *items) = 0;
    // Writes an item: a new one when etag is empty (If-None-Match: *), else only over that
    // version (If-Match). *newEtag is the ETag the server gave, empty when it gave none.
    virtual DavAnswer put(const QString &href, const QByteArray &data, const QString &contentType, const QString &etag,
                          QString *newEtag) = 0;
    // Deletes an item, only if it is still at that version (If-Match; none when etag is empty).
    virtual DavAnswer remove(const QString &href, const QString &etag) = 0;
    // Ends the call under way, and every later one, with Cancelled. Safe from any thread.
    virtual void cancel() = 0;
};
