#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// A WebDAV multistatus answer (RFC 4918, with the CalDAV, CardDAV and sync-collection parts the
// program reads), read namespace by namespace so any prefix a server picks reads the same.
// Property names are written "namespace|local name", e.g. "DAV:|getetag".
struct Multistatus
{
    struct Property
    {
        QString text; // its text, the texts of its children joined (an ETag, a name, an item's data)
        QStringList children; // its child elements' names (a resourcetype's kinds)
        QStringList hrefs; // the DAV:href elements inside it (a principal, a home set)
        QStringList components; // the names of CalDAV comp elements inside it
    };
    struct Response
    {
        QString href; // as written, percent-encoded
        int status = 0; // of the response itself (a removed item in a sync report), 0 when none
        QHash<QString, Property> found; // the properties the server gave with status 200
        bool isCollection() const;
    };

    QList<Response> responses;
    QString syncToken;

    // False when the text is not a multistatus.
    static bool parse(const QByteArray &xml, Multistatus *into);
};

namespace DavNames {
inline const QString dav = QStringLiteral("DAV:");
inline const QString caldav = QStringLiteral("urn:ietf:params:xml:ns:caldav");
inline const QString carddav = QStringLiteral("urn:ietf:params:xml:ns:carddav");
inline QString name(const QString &space, const QString &local)
{
    return space + QLatin1Char('|') + local;
}
} // namespace DavNames
