#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

// A Radicale CalDAV/CardDAV server of the test's own: python3 -m radicale on 127.0.0.1 and a free
// port, with its own configuration, a fresh storage folder and one user with a password, checked
// through an htpasswd file. It can be stopped by its pid mid-test and started again on the same
// storage and port. Tests skip when it is missing:
//     if (const QString why = RadicaleServer::missing(); !why.isEmpty())
//         QSKIP(qPrintable(why));
class RadicaleServer final
{
public:
    RadicaleServer();
    ~RadicaleServer(); // stops the server

    // Why no server can be started here (Radicale or htpasswd missing), empty when one can.
    static QString missing();

    // Serves HTTPS with this certificate and key (PEM files) from the next start on.
    void useCertificate(const QString &certificate, const QString &key);

    // Starts the server and waits until it answers; false, with the reason in *error, if it does not.
    bool start(QString *error = nullptr);
    // Kills the server by its pid and waits for it to end.
    void stop();
    // Stops the server's process where it is (SIGSTOP), so connections open and nothing answers,
    // and lets it go on.
    void freeze();
    void thaw();
    bool running() const;

    QUrl url() const; // the server's root, ending with '/'
    QString user() const { return m_user; }
    QString password() const { return m_password; }
    QString storageFolder() const;

    // Makes a calendar taking those components, or an address book, for the user; returns its URL
    // (ending with '/'), empty when the server refused.
    QUrl makeCalendar(const QString &name = QStringLiteral("calendario"),
                      const QStringList &components = {QStringLiteral("VEVENT"), QStringLiteral("VTODO")});
    QUrl makeAddressBook(const QString &name = QStringLiteral("contactos"));

    // Sends one request to the server as the user, as another client would; returns the HTTP
    // status, 0 when there was no answer.
    using Headers = QList<QPair<QByteArray, QByteArray>>;
    int send(const QByteArray &method, const QUrl &url, const QByteArray &body = {}, const Headers &headers = {},
             QByteArray *reply = nullptr);

private:
    static QString python();
    bool writeConfiguration(QString *error);

    QTemporaryDir m_dir;
    QString m_user = QStringLiteral("ana");
    QString m_password;
    QString m_certificate;
    QString m_key;
    quint16 m_port = 0;
    QProcess m_process;
};
