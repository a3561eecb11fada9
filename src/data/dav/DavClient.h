#pragma once

#include "data/sync/DavServer.h"

#include <QHash>
#include <QList>
#include <QNetworkAccessManager>
#include <QPair>
#include <QPointer>
#include <QSslError>
#include <atomic>

class QNetworkReply;
struct Multistatus;

// A CalDAV/CardDAV server over Qt Network. Each call sends its requests on a network manager made
// on the thread that made the client and waits for them in a local event loop, so the client is
// made, used and deleted on one thread (the sync's own, never the window's). The user's name and
// password go with every request to the server's host (Basic); a redirect is followed by sending
// the same method and body again, as Qt would turn a PROPFIND into a GET; an HTTPS certificate
// that cannot be verified ends the call.
class DavClient final : public DavServer
{
public:
    DavClient(const QUrl &url, const QString &user, const QString &password);
    ~DavClient() override;

    DavAnswer discover(QList<DavCollection> *collections) override;
    DavAnswer list(const QUrl &collection, QList<DavItem> *items) override;
    DavAnswer changes(const QUrl &collection, const QString &token, QList<DavItem> *changed, QStringList *removed,
                      QString *nextToken) override;
    DavAnswer fetch(const QUrl &collection, const QStringList &hrefs, QList<DavItem> *items) override;
    DavAnswer put(const QString &href, const QByteArray &data, const QString &contentType, const QString &etag,
                  QString *newEtag) override;
    DavAnswer remove(const QString &href, const QString &etag) override;
    void cancel() override;

    // How long a request may go without the server sending or taking a byte.
    void setTimeout(int milliseconds) { m_timeout = milliseconds; }
    // How many items one multiget asks for.
    void setBatchSize(int items) { m_batchSize = items; }

private:
    using Headers = QList<QPair<QByteArray, QByteArray>>;
    struct Reply
    {
        DavAnswer answer;
        QByteArray body;
        QByteArray etag;
        QUrl url; // where the answer came from, after the redirects
    };
    // How an error status reads for the request that got it: a 403 on reading the user's own
    // collections means the name or password is wrong; on a write or a sync report (an old
    // token), a refusal.
    enum class Reading { Own, Item };

    Reply send(const QByteArray &method, QUrl url, const QByteArray &body, const Headers &headers, Reading reading);
    Reply sendOnce(const QByteArray &method, const QUrl &url, const QByteArray &body, const Headers &headers);
    // A PROPFIND or REPORT whose answer must be a multistatus.
    DavAnswer query(const QByteArray &method, const QUrl &url, const QByteArray &depth, const QByteArray &body,
                    Multistatus *answer, QUrl *answeredFrom = nullptr, Reading reading = Reading::Own);
    DavAnswer collectionAt(const QUrl &url, QList<DavCollection> *collections, QStringList *principals,
                           QStringList *homes);
    DavAnswer isAddressBook(const QUrl &collection, bool *addressBook);

    DavAnswer failure(DavAnswer::Kind kind, int status, const QString &message) const;
    DavAnswer answerFor(int status, Reading reading, const QUrl &url) const;
    QString host() const;
    QUrl itemUrl(const QString &href) const;
    static QString certificateProblem(const QList<QSslError> &errors);

    QUrl m_url;
    QByteArray m_authorization;
    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    std::atomic<bool> m_cancelled = false;
    int m_timeout = 30000;
    int m_batchSize = 100;
    QHash<QUrl, bool> m_addressBooks; // what each collection seen so far is
};
