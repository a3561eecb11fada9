#include "RadicaleServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString htpasswd()
{
    return QStandardPaths::findExecutable(QStringLiteral("htpasswd"));
}

// A socket on 127.0.0.1: bound to port 0 it takes a free port; connected, it tells whether a
// server listens there.
quint16 localPort(quint16 port, bool connectTo)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    if (socket < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    socklen_t size = sizeof address;
    auto *generic = reinterpret_cast<sockaddr *>(&address);
    const bool done = connectTo ? ::connect(socket, generic, size) == 0
                                : ::bind(socket, generic, size) == 0 && ::getsockname(socket, generic, &size) == 0;
    ::close(socket);
    return done ? ntohs(address.sin_port) : 0;
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
        m_port = localPort(0, false);
        if (m_port == 0) {
            *error = QStringLiteral("no free port");
            return false;
        }
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
        if (localPort(m_port, true) == m_port)
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

void RadicaleServer::freeze()
{
    if (running())
        ::kill(pid_t(m_process.processId()), SIGSTOP);
}

void RadicaleServer::thaw()
{
    if (running())
        ::kill(pid_t(m_process.processId()), SIGCONT);
}

bool RadicaleServer::running() const
{
    return m_process.state() == QProcess::Running;
}

// Sent by Python, as the server runs on it anyway: Qt Network linked into every test would load
// the network libraries in tests that check the program starts without them.
int RadicaleServer::send(const QByteArray &method, const QUrl &url, const QByteArray &body, const Headers &headers,
                         QByteArray *reply)
{
    static const char script[] = R"(
import base64, ssl, sys, urllib.request, urllib.error
method, url, user, password = sys.argv[1:5]
request = urllib.request.Request(url, data=sys.stdin.buffer.read() or None, method=method)
request.add_header("Authorization", "Basic " + base64.b64encode((user + ":" + password).encode()).decode())
for header in sys.argv[5:]:
    name, value = header.split(":", 1)
    request.add_header(name, value)
context = ssl.create_default_context()
context.check_hostname = False
context.verify_mode = ssl.CERT_NONE
try:
    answer = urllib.request.urlopen(request, context=context, timeout=20)
except urllib.error.HTTPError as error:
    answer = error
sys.stdout.buffer.write(b"%d\n" % answer.status + answer.read())
)";
    QStringList arguments = {QStringLiteral("-c"),
                             QString::fromLatin1(script),
                             QString::fromLatin1(method),
                             url.toString(QUrl::FullyEncoded),
                             m_user,
                             m_password};
    for (const auto &[name, value] : headers)
        arguments << QString::fromLatin1(name + ':' + value);
    QProcess python;
    python.start(RadicaleServer::python(), arguments);
    python.write(body);
    python.closeWriteChannel();
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        return 0;
    const QByteArray output = python.readAllStandardOutput();
    const qsizetype line = output.indexOf('\n');
    if (reply)
        *reply = output.mid(line + 1);
    return output.left(line).toInt();
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
