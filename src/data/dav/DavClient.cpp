#include "data/dav/DavClient.h"

#include "data/dav/Multistatus.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>

using namespace DavNames;

namespace {

constexpr int maxRedirects = 5;

const QByteArray discoveryQuery =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<D:propfind xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\" "
    "xmlns:CR=\"urn:ietf:params:xml:ns:carddav\"><D:prop><D:resourcetype/><D:displayname/>"
    "<D:current-user-principal/><C:calendar-home-set/><CR:addressbook-home-set/>"
    "<C:supported-calendar-component-set/></D:prop></D:propfind>";

const QByteArray listQuery = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                             "<D:propfind xmlns:D=\"DAV:\"><D:prop><D:resourcetype/><D:getetag/></D:prop></D:propfind>";

QByteArray escaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

// The path of an href as this client writes it everywhere, whether the server gave a path or a
// whole URL, so the hrefs of a listing, a report and a multiget compare equal.
QString pathOf(const QString &href, const QUrl &base)
{
    return base.resolved(QUrl::fromEncoded(href.toUtf8())).path(QUrl::FullyEncoded);
}

QString withSlash(QString path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

// A calendar or address book described by a response; false for anything else.
bool collectionFrom(const Multistatus::Response &response, const QUrl &from, DavCollection *collection)
{
    const QStringList kinds = response.found.value(name(dav, QStringLiteral("resourcetype"))).children;
    const bool calendar = kinds.contains(name(caldav, QStringLiteral("calendar")));
    collection->addressBook = kinds.contains(name(carddav, QStringLiteral("addressbook")));
    if (!calendar && !collection->addressBook)
        return false;
    collection->url = from.resolved(QUrl::fromEncoded(withSlash(pathOf(response.href, from)).toUtf8()));
    collection->name = response.found.value(name(dav, QStringLiteral("displayname"))).text.trimmed();
    if (collection->name.isEmpty()) {
        const QStringList parts = collection->url.path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
        collection->name = parts.isEmpty() ? QString() : parts.last();
    }
    if (calendar)
        collection->components =
            response.found.value(name(caldav, QStringLiteral("supported-calendar-component-set"))).components;
    return true;
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

DavClient::DavClient(const QUrl &url, const QString &user, const QString &password)
    : m_url(url)
    , m_authorization("Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64())
{
    m_network.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

DavClient::~DavClient() = default;

void DavClient::cancel()
{
    m_cancelled = true;
    // Abort on the client's own thread, where its event loop waits for the reply.
    QMetaObject::invokeMethod(
        &m_network,
        [this] {
            if (m_reply)
                m_reply->abort();
        },
        Qt::QueuedConnection);
}

QString DavClient::host() const
{
    return m_url.host();
}

QUrl DavClient::itemUrl(const QString &href) const
{
    return m_url.resolved(QUrl::fromEncoded(href.toUtf8()));
}

DavAnswer DavClient::failure(DavAnswer::Kind kind, int status, const QString &message) const
{
    return DavAnswer{kind, status, message};
}

DavAnswer DavClient::answerFor(int status, Reading reading, const QUrl &url) const
{
    using Kind = DavAnswer::Kind;
    const QString path = url.path();
    if (status == 401 || (status == 403 && reading == Reading::Own))
        return failure(Kind::Unauthorized, status,
                       QStringLiteral("El servidor %1 no acepta el usuario o la contraseña").arg(host()));
    if (status == 404 || status == 410)
        return failure(Kind::NotFound, status, QStringLiteral("El servidor %1 no tiene %2").arg(host(), path));
    if (status == 412)
        return failure(Kind::Precondition, status,
                       QStringLiteral("El servidor %1 tiene otra versión de %2").arg(host(), path));
    if (status >= 400 && status < 500)
        return failure(Kind::Refused, status,
                       QStringLiteral("El servidor %1 ha rechazado la petición sobre %2 (código %3)")
                           .arg(host(), path)
                           .arg(status));
    if (status >= 500)
        return failure(Kind::ServerError, status,
                       QStringLiteral("El servidor %1 ha fallado (código %2)").arg(host()).arg(status));
    return failure(
        Kind::ServerError, status,
        QStringLiteral("El servidor %1 ha dado una respuesta inesperada (código %2)").arg(host()).arg(status));
}

QString DavClient::certificateProblem(const QList<QSslError> &errors)
{
    QStringList reasons;
    for (const QSslError &error : errors) {
        QString reason;
        switch (error.error()) {
        case QSslError::SelfSignedCertificate:
        case QSslError::SelfSignedCertificateInChain:
            reason = QStringLiteral("lo firma el propio servidor, no una autoridad en la que confíe el sistema");
            break;
        case QSslError::UnableToGetIssuerCertificate:
        case QSslError::UnableToGetLocalIssuerCertificate:
        case QSslError::UnableToVerifyFirstCertificate:
        case QSslError::CertificateUntrusted:
            reason = QStringLiteral("no lo firma ninguna autoridad en la que confíe el sistema");
            break;
        case QSslError::CertificateExpired:
            reason = QStringLiteral("ha caducado");
            break;
        case QSslError::CertificateNotYetValid:
            reason = QStringLiteral("aún no es válido");
            break;
        case QSslError::HostNameMismatch:
            reason = QStringLiteral("es de otro nombre de servidor");
            break;
        case QSslError::CertificateRevoked:
            reason = QStringLiteral("ha sido revocado");
            break;
        default:
            reason = QStringLiteral("no es válido (%1)").arg(error.errorString());
            break;
        }
        if (!reasons.contains(reason))
            reasons << reason;
    }
    if (reasons.isEmpty())
        return QStringLiteral("la conexión segura no se ha podido establecer");
    return QStringLiteral("el certificado ") + reasons.join(QStringLiteral("; "));
}

DavClient::Reply DavClient::sendOnce(const QByteArray &method, const QUrl &url, const QByteArray &body,
                                     const Headers &headers)
{
    using Kind = DavAnswer::Kind;
    Reply result;
    result.url = url;
    const auto cancelled = [&] {
        result.answer =
            failure(Kind::Cancelled, 0, QStringLiteral("Se ha cancelado la conexión con el servidor %1").arg(host()));
        return result;
    };
    if (m_cancelled)
        return cancelled();

    QNetworkRequest request(url);
    request.setTransferTimeout(m_timeout);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Quillomar"));
    // The password goes only to the host the user named.
    if (url.host() == m_url.host())
        request.setRawHeader("Authorization", m_authorization);
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);

    QList<QSslError> sslErrors;
    QNetworkReply *reply = m_network.sendCustomRequest(request, method, body);
    m_reply = reply;
    QObject::connect(reply, &QNetworkReply::sslErrors, reply,
                     [&sslErrors](const QList<QSslError> &errors) { sslErrors += errors; });
    if (!reply->isFinished()) {
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    const std::unique_ptr<QNetworkReply> owned(reply);
    m_reply.clear();
    if (m_cancelled)
        return cancelled();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->isOpen())
        result.body = reply->readAll();
    result.etag = reply->rawHeader("ETag");
    if (status == 0 || reply->error() == QNetworkReply::SslHandshakeFailedError) {
        switch (reply->error()) {
        case QNetworkReply::SslHandshakeFailedError:
            result.answer = failure(Kind::Certificate, 0,
                                    QStringLiteral("No se puede comprobar el certificado de %1: %2")
                                        .arg(host(), certificateProblem(sslErrors)));
            break;
        case QNetworkReply::OperationCanceledError:
        case QNetworkReply::TimeoutError:
            result.answer = failure(Kind::Unreachable, 0, QStringLiteral("El servidor %1 no contesta").arg(host()));
            break;
        default:
            result.answer =
                failure(Kind::Unreachable, 0, QStringLiteral("No se puede conectar con el servidor %1").arg(host()));
            break;
        }
        return result;
    }
    result.answer.status = status;
    if (isRedirect(status))
        result.url = url.resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
    return result;
}

DavClient::Reply DavClient::send(const QByteArray &method, QUrl url, const QByteArray &body, const Headers &headers,
                                 Reading reading)
{
    for (int hop = 0;; ++hop) {
        Reply reply = sendOnce(method, url, body, headers);
        const int status = reply.answer.status;
        if (!reply.answer || !isRedirect(status))
            return reply;
        // Never from HTTPS back to plain HTTP, where the password would travel in the clear.
        const bool downgrade = url.scheme() == QLatin1String("https") && reply.url.scheme() != QLatin1String("https");
        if (hop == maxRedirects || reply.url == url || !reply.url.isValid() || downgrade) {
            reply.answer = answerFor(status, reading, url);
            return reply;
        }
        url = reply.url;
    }
}

DavAnswer DavClient::query(const QByteArray &method, const QUrl &url, const QByteArray &depth, const QByteArray &body,
                           Multistatus *answer, QUrl *answeredFrom, Reading reading)
{
    Headers headers = {{"Content-Type", "application/xml; charset=utf-8"}};
    if (!depth.isEmpty())
        headers.emplaceBack("Depth", depth);
    const Reply reply = send(method, url, body, headers, reading);
    if (!reply.answer)
        return reply.answer;
    if (answeredFrom)
        *answeredFrom = reply.url;
    if (reply.answer.status != 207)
        return answerFor(reply.answer.status, reading, reply.url);
    if (!Multistatus::parse(reply.body, answer))
        return failure(
            DavAnswer::Kind::ServerError, 207,
            QStringLiteral("El servidor %1 no contesta como un servidor de calendarios y contactos").arg(host()));
    return DavAnswer{DavAnswer::Kind::Ok, 207, {}};
}

// Reads what is at url: a calendar or address book is added to collections; the principals and
// home sets it names are added to the lists given.
DavAnswer DavClient::collectionAt(const QUrl &url, QList<DavCollection> *collections, QStringList *principals,
                                  QStringList *homes)
{
    Multistatus answer;
    QUrl from = url;
    const DavAnswer result = query("PROPFIND", url, "0", discoveryQuery, &answer, &from);
    if (!result)
        return result;
    for (const Multistatus::Response &response : std::as_const(answer.responses)) {
        const auto property = [&](const QString &space, const char *local) {
            return response.found.value(name(space, QString::fromLatin1(local)));
        };
        const auto resolved = [&](const QStringList &hrefs, QStringList *into) {
            for (const QString &href : hrefs) {
                const QString path = withSlash(pathOf(href, from));
                if (!into->contains(path))
                    into->append(path);
            }
        };
        if (principals)
            resolved(property(dav, "current-user-principal").hrefs, principals);
        if (homes) {
            resolved(property(caldav, "calendar-home-set").hrefs, homes);
            resolved(property(carddav, "addressbook-home-set").hrefs, homes);
        }
        DavCollection collection;
        if (!collectionFrom(response, from, &collection))
            continue;
        m_addressBooks.insert(collection.url, collection.addressBook);
        if (collections)
            collections->append(collection);
    }
    return result;
}

DavAnswer DavClient::discover(QList<DavCollection> *collections)
{
    QList<DavCollection> found;
    QStringList principals;
    QStringList homes;
    const DavAnswer given = collectionAt(m_url, &found, &principals, &homes);
    if (given.kind == DavAnswer::Kind::Cancelled || given.kind == DavAnswer::Kind::Unreachable ||
        given.kind == DavAnswer::Kind::Unauthorized || given.kind == DavAnswer::Kind::Certificate)
        return given;
    if (given && !found.isEmpty()) {
        *collections = found;
        return given;
    }
    found.clear();
    // The server's own pointers first, then the principal the given address named.
    QStringList fromGiven = principals;
    principals.clear();
    for (const char *service : {"/.well-known/caldav", "/.well-known/carddav"}) {
        const DavAnswer known =
            collectionAt(m_url.resolved(QUrl(QString::fromLatin1(service))), nullptr, &principals, nullptr);
        if (known.kind == DavAnswer::Kind::Cancelled || known.kind == DavAnswer::Kind::Unauthorized)
            return known;
    }
    for (const QString &principal : std::as_const(fromGiven)) {
        if (!principals.contains(principal))
            principals << principal;
    }
    for (const QString &principal : std::as_const(principals)) {
        const DavAnswer answer =
            collectionAt(m_url.resolved(QUrl::fromEncoded(principal.toUtf8())), nullptr, nullptr, &homes);
        if (answer.kind == DavAnswer::Kind::Cancelled)
            return answer;
    }
    // A server that names no principal nor home: what the given address holds.
    if (homes.isEmpty() && given)
        homes << withSlash(m_url.path(QUrl::FullyEncoded));
    if (homes.isEmpty())
        return given;

    DavAnswer result = DavAnswer{DavAnswer::Kind::Ok, 207, {}};
    bool anyAnswered = false;
    for (const QString &home : std::as_const(homes)) {
        Multistatus answer;
        QUrl from = m_url.resolved(QUrl::fromEncoded(home.toUtf8()));
        const DavAnswer listed = query("PROPFIND", from, "1", discoveryQuery, &answer, &from);
        if (!listed) {
            if (listed.kind == DavAnswer::Kind::Cancelled)
                return listed;
            result = listed;
            continue;
        }
        anyAnswered = true;
        for (const Multistatus::Response &response : std::as_const(answer.responses)) {
            DavCollection collection;
            if (!collectionFrom(response, from, &collection))
                continue;
            m_addressBooks.insert(collection.url, collection.addressBook);
            if (!std::any_of(found.cbegin(), found.cend(),
                             [&](const DavCollection &c) { return c.url == collection.url; }))
                found << collection;
        }
    }
    if (!anyAnswered)
        return result;
    *collections = found;
    return DavAnswer{DavAnswer::Kind::Ok, 207, {}};
}

// The items among the responses: not the collection itself nor a collection inside it.
static bool isItem(const Multistatus::Response &response, const QString &path, const QString &collectionPath)
{
    return !response.isCollection() && !path.endsWith(QLatin1Char('/')) && withSlash(path) != collectionPath;
}

DavAnswer DavClient::list(const QUrl &collection, QList<DavItem> *items)
{
    Multistatus answer;
    QUrl from = collection;
    const DavAnswer result = query("PROPFIND", collection, "1", listQuery, &answer, &from);
    if (!result)
        return result;
    const QString own = withSlash(from.path(QUrl::FullyEncoded));
    items->clear();
    for (const Multistatus::Response &response : std::as_const(answer.responses)) {
        const QString path = pathOf(response.href, from);
        if (isItem(response, path, own))
            items->append(DavItem{path, response.found.value(name(dav, QStringLiteral("getetag"))).text.trimmed(), {}});
    }
    return result;
}

DavAnswer DavClient::changes(const QUrl &collection, const QString &token, QList<DavItem> *changed,
                             QStringList *removed, QString *nextToken)
{
    const QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                            "<D:sync-collection xmlns:D=\"DAV:\"><D:sync-token>" +
        escaped(token) +
        "</D:sync-token><D:sync-level>1</D:sync-level>"
        "<D:prop><D:getetag/></D:prop></D:sync-collection>";
    Multistatus answer;
    QUrl from = collection;
    // The report looks at the collection alone (Depth 0); how deep it goes is its sync-level.
    const DavAnswer result = query("REPORT", collection, "0", body, &answer, &from, Reading::Item);
    if (!result)
        return result;
    if (answer.syncToken.isEmpty())
        return failure(DavAnswer::Kind::ServerError, 207,
                       QStringLiteral("El servidor %1 no da la marca de sus cambios").arg(host()));
    const QString own = withSlash(from.path(QUrl::FullyEncoded));
    changed->clear();
    removed->clear();
    for (const Multistatus::Response &response : std::as_const(answer.responses)) {
        const QString path = pathOf(response.href, from);
        if (path.endsWith(QLatin1Char('/')) || withSlash(path) == own)
            continue;
        if (response.status == 404)
            removed->append(path);
        else if (isItem(response, path, own))
            changed->append(
                DavItem{path, response.found.value(name(dav, QStringLiteral("getetag"))).text.trimmed(), {}});
    }
    *nextToken = answer.syncToken;
    return result;
}

// Whether a collection is an address book, from discovery or else asked once.
DavAnswer DavClient::isAddressBook(const QUrl &collection, bool *addressBook)
{
    const auto known = m_addressBooks.constFind(collection);
    if (known != m_addressBooks.constEnd()) {
        *addressBook = *known;
        return DavAnswer{};
    }
    QList<DavCollection> found;
    const DavAnswer result = collectionAt(collection, &found, nullptr, nullptr);
    if (!result)
        return result;
    *addressBook = !found.isEmpty() && found.first().addressBook;
    m_addressBooks.insert(collection, *addressBook);
    return result;
}

DavAnswer DavClient::fetch(const QUrl &collection, const QStringList &hrefs, QList<DavItem> *items)
{
    items->clear();
    bool addressBook = false;
    if (const DavAnswer kind = isAddressBook(collection, &addressBook); !kind)
        return kind;
    const QByteArray report = addressBook ? "CR:addressbook-multiget" : "C:calendar-multiget";
    const QByteArray data = addressBook ? "CR:address-data" : "C:calendar-data";
    const QString dataName =
        addressBook ? name(carddav, QStringLiteral("address-data")) : name(caldav, QStringLiteral("calendar-data"));
    DavAnswer result;
    for (qsizetype first = 0; first < hrefs.size(); first += m_batchSize) {
        QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<" + report +
            " xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\" "
            "xmlns:CR=\"urn:ietf:params:xml:ns:carddav\"><D:prop><D:getetag/><" +
            data + "/></D:prop>";
        for (const QString &href : hrefs.mid(first, m_batchSize))
            body += "<D:href>" + escaped(href) + "</D:href>";
        body += "</" + report + ">";
        Multistatus answer;
        QUrl from = collection;
        result = query("REPORT", collection, "1", body, &answer, &from);
        if (!result)
            return result;
        for (const Multistatus::Response &response : std::as_const(answer.responses)) {
            const auto text = response.found.constFind(dataName);
            if (response.status / 100 == 4 || text == response.found.constEnd())
                continue;
            items->append(DavItem{pathOf(response.href, from),
                                  response.found.value(name(dav, QStringLiteral("getetag"))).text.trimmed(),
                                  text->text.toUtf8()});
        }
    }
    return result;
}

DavAnswer DavClient::put(const QString &href, const QByteArray &data, const QString &contentType, const QString &etag,
                         QString *newEtag)
{
    Headers headers = {{"Content-Type", contentType.toUtf8()}};
    if (etag.isEmpty())
        headers.emplaceBack("If-None-Match", "*");
    else
        headers.emplaceBack("If-Match", etag.toUtf8());
    const Reply reply = send("PUT", itemUrl(href), data, headers, Reading::Item);
    if (!reply.answer)
        return reply.answer;
    const int status = reply.answer.status;
    // Some servers answer a refused write with a multistatus: it wrote nothing.
    if (status != 200 && status != 201 && status != 204) {
        DavAnswer refused = answerFor(status, Reading::Item, reply.url);
        if (status == 207)
            refused = failure(DavAnswer::Kind::Refused, status,
                              QStringLiteral("El servidor %1 no acepta el cambio de %2").arg(host(), reply.url.path()));
        return refused;
    }
    if (newEtag)
        *newEtag = QString::fromUtf8(reply.etag);
    return reply.answer;
}

DavAnswer DavClient::remove(const QString &href, const QString &etag)
{
    Headers headers;
    if (!etag.isEmpty())
        headers.emplaceBack("If-Match", etag.toUtf8());
    const Reply reply = send("DELETE", itemUrl(href), {}, headers, Reading::Item);
    if (!reply.answer)
        return reply.answer;
    const int status = reply.answer.status;
    if (status != 200 && status != 202 && status != 204)
        return status == 207
            ? failure(DavAnswer::Kind::Refused, status,
                      QStringLiteral("El servidor %1 no acepta el cambio de %2").arg(host(), reply.url.path()))
            : answerFor(status, Reading::Item, reply.url);
    return reply.answer;
}
