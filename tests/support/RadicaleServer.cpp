#include "RadicaleServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRandomGenerator>
#include <QSslConfiguration>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace {

QString htpasswd()
{
    return QStandardPaths::findExecutable(QStringLiteral("htpasswd"));
}

bool runs(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

RadicaleServer::RadicaleServer()
    : m_password(QString::number(QRandomGenerator::global()->generate64(), 36))
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
}

RadicaleServer::~RadicaleServer()
{
    stop();
}

// The system's Python first: a Python of the user's own (pyenv, a virtualenv) earlier on the path
// usually lacks the Radicale the system installed.
QString RadicaleServer::python()
{
    static const QString found = [] {
        QStringList candidates = {
            QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")}),
            QStandardPaths::findExecutable(QStringLiteral("python3"))};
        for (const QString &candidate : candidates) {
            if (!candidate.isEmpty() && runs(candidate, {QStringLiteral("-c"), QStringLiteral("import radicale")}))
                return candidate;
        }
        return QString();
    }();
    return found;
}

QString RadicaleServer::missing()
{
    if (python().isEmpty())
        return QStringLiteral("python3 -m radicale is not installed (Debian: radicale)");
    if (htpasswd().isEmpty())
        return QStringLiteral("htpasswd is not installed (Debian: apache2-utils)");
    return {};
}

void RadicaleServer::useCertificate(const QString &certificate, const QString &key)
{
    m_certificate = certificate;
    m_key = key;
}

QString RadicaleServer::storageFolder() const
{
    return m_dir.filePath(QStringLiteral("storage"));
}

QUrl RadicaleServer::url() const
{
    QUrl root;
    root.setScheme(m_certificate.isEmpty() ? QStringLiteral("http") : QStringLiteral("https"));
    root.setHost(QStringLiteral("127.0.0.1"));
    root.setPort(m_port);
    root.setPath(QStringLiteral("/"));
    return root;
}

bool RadicaleServer::writeConfiguration(QString *error)
{
    if (m_port == 0) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0)) {
            *error = QStringLiteral("no free port: ") + probe.errorString();
            return false;
        }
        m_port = probe.serverPort();
    }
    const QString users = m_dir.filePath(QStringLiteral("users"));
    // md5 (apr1) is checked by passlib, which Radicale depends on; bcrypt would need a module more.
    if (!QFile::exists(users) && !runs(htpasswd(), {QStringLiteral("-cbm"), users, m_user, m_password})) {
        *error = QStringLiteral("htpasswd failed");
        return false;
    }
    QString text = QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n").arg(m_port);
    if (!m_certificate.isEmpty())
        text += QStringLiteral("ssl = True\ncertificate = %1\nkey = %2\n").arg(m_certificate, m_key);
    text += QStringLiteral("[auth]\ntype = htpasswd\nhtpasswd_filename = %1\nhtpasswd_encryption = md5\ndelay = 0\n"
                           "[rights]\ntype = owner_only\n"
                           "[storage]\nfilesystem_folder = %2\n"
                           "[web]\ntype = none\n"
                           "[logging]\nlevel = error\nmask_passwords = True\n")
                .arg(users, storageFolder());
    QFile config(m_dir.filePath(QStringLiteral("config")));
    if (!config.open(QIODevice::WriteOnly) || config.write(text.toUtf8()) < 0) {
        *error = QStringLiteral("cannot write ") + config.fileName();
        return false;
    }
    return true;
}

bool RadicaleServer::start(QString *error)
{
    QString ignored;
    QString &why = error ? *error : ignored;
    if (running())
        return true;
    if (why = missing(); !why.isEmpty())
        return false;
    if (!m_dir.isValid()) {
        why = QStringLiteral("no temporary folder");
        return false;
    }
    if (!writeConfiguration(&why))
        return false;
    m_process.start(python(),
                    {QStringLiteral("-m"), QStringLiteral("radicale"), QStringLiteral("--config"),
                     m_dir.filePath(QStringLiteral("config"))});
    if (!m_process.waitForStarted(10000)) {
        why = QStringLiteral("radicale did not start: ") + m_process.errorString();
        return false;
    }
    // Up once it takes connections on its port.
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (socket.waitForConnected(500))
            return true;
        if (m_process.state() == QProcess::NotRunning) {
            why = QStringLiteral("radicale ended at start (code %1)").arg(m_process.exitCode());
            return false;
        }
        QThread::msleep(50);
    }
    why = QStringLiteral("radicale did not answer on port %1").arg(m_port);
    stop();
    return false;
}

void RadicaleServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(10000);
}

bool RadicaleServer::running() const
{
    return m_process.state() == QProcess::Running;
}

int RadicaleServer::send(const QByteArray &method, const QUrl &url, const QByteArray &body, const Headers &headers,
                         QByteArray *reply)
{
    QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setRawHeader("Authorization", "Basic " + (m_user + QLatin1Char(':') + m_password).toUtf8().toBase64());
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);
    if (!m_certificate.isEmpty()) {
        // The test's own self-signed certificate: trusted here, as another client set up for it would.
        QSslConfiguration ssl = request.sslConfiguration();
        ssl.setPeerVerifyMode(QSslSocket::VerifyNone);
        request.setSslConfiguration(ssl);
    }
    QNetworkReply *answer = network.sendCustomRequest(request, method, body);
    QEventLoop loop;
    QObject::connect(answer, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    if (reply)
        *reply = answer->readAll();
    const int status = answer->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    delete answer;
    return status;
}

QUrl RadicaleServer::makeCalendar(const QString &name, const QStringList &components)
{
    QUrl collection = url().resolved(QUrl(m_user + QLatin1Char('/') + name + QLatin1Char('/')));
    QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                      "<C:mkcalendar xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:set><D:prop>"
                      "<D:displayname>" +
        name.toHtmlEscaped().toUtf8() + "</D:displayname><C:supported-calendar-component-set>";
    for (const QString &component : components)
        body += "<C:comp name=\"" + component.toUtf8() + "\"/>";
    body += "</C:supported-calendar-component-set></D:prop></D:set></C:mkcalendar>";
    const int status = send("MKCALENDAR", collection, body, {{"Content-Type", "application/xml; charset=utf-8"}});
    return status == 201 ? collection : QUrl();
}

QUrl RadicaleServer::makeAddressBook(const QString &name)
{
    QUrl collection = url().resolved(QUrl(m_user + QLatin1Char('/') + name + QLatin1Char('/')));
    const QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                            "<D:mkcol xmlns:D=\"DAV:\" xmlns:CR=\"urn:ietf:params:xml:ns:carddav\"><D:set><D:prop>"
                            "<D:resourcetype><D:collection/><CR:addressbook/></D:resourcetype><D:displayname>" +
        name.toHtmlEscaped().toUtf8() + "</D:displayname></D:prop></D:set></D:mkcol>";
    const int status = send("MKCOL", collection, body, {{"Content-Type", "application/xml; charset=utf-8"}});
    return status == 201 ? collection : QUrl();
}
