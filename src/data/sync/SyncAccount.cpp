#include "SyncAccount.h"

#include "SyncReport.h"
#include "data/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

constexpr char UrlVariable[] = "QUILLOMAR_DAV_URL";
constexpr char UserVariable[] = "QUILLOMAR_DAV_USER";
constexpr char PasswordVariable[] = "QUILLOMAR_DAV_PASSWORD";

const QString Server = QStringLiteral("cuenta/servidor");
const QString User = QStringLiteral("cuenta/usuario");
const QString Calendar = QStringLiteral("cuenta/calendario");
const QString Tasks = QStringLiteral("cuenta/tareas");
const QString AddressBook = QStringLiteral("cuenta/contactos");
const QString LastSync = QStringLiteral("ultima/hora");
const QString LastSummary = QStringLiteral("ultima/resumen");
const QString Conflicts = QStringLiteral("ultima/conflictos");

} // namespace

QString SyncAccount::fileFor(const AppPaths &paths)
{
    return QFileInfo(paths.settingsFile).absoluteDir().filePath(QStringLiteral("quillomar-sincronizacion.ini"));
}

SyncAccount SyncAccount::load(const AppPaths &paths)
{
    const QSettings file(fileFor(paths), QSettings::IniFormat);
    SyncAccount account;
    account.server = QUrl(file.value(Server).toString());
    account.user = file.value(User).toString();
    account.calendar = QUrl(file.value(Calendar).toString());
    account.tasks = QUrl(file.value(Tasks).toString());
    account.addressBook = QUrl(file.value(AddressBook).toString());
    account.lastSync = QDateTime::fromString(file.value(LastSync).toString(), Qt::ISODate);
    account.lastSummary = file.value(LastSummary).toString();
    account.conflicts = file.value(Conflicts).toStringList();
    if (qEnvironmentVariableIsSet(UrlVariable)) {
        const QUrl server(qEnvironmentVariable(UrlVariable));
        // The collections chosen on another server mean nothing on this one: they are found again.
        if (server != account.server)
            account.calendar = account.tasks = account.addressBook = QUrl();
        account.server = server;
        account.fromEnvironment = true;
    }
    if (qEnvironmentVariableIsSet(UserVariable)) {
        account.user = qEnvironmentVariable(UserVariable);
        account.fromEnvironment = true;
    }
    return account;
}

void SyncAccount::save(const AppPaths &paths) const
{
    QSettings file(fileFor(paths), QSettings::IniFormat);
    if (!fromEnvironment) {
        file.setValue(Server, server.toString());
        file.setValue(User, user);
        file.setValue(Calendar, calendar.toString());
        file.setValue(Tasks, tasks.toString());
        file.setValue(AddressBook, addressBook.toString());
    }
    file.setValue(LastSync, lastSync.toString(Qt::ISODate));
    file.setValue(LastSummary, lastSummary);
    file.setValue(Conflicts, conflicts);
}

bool SyncAccount::environmentHasPassword()
{
    return qEnvironmentVariableIsSet(PasswordVariable);
}

QString SyncAccount::environmentPassword()
{
    return qEnvironmentVariable(PasswordVariable);
}

QString SyncAccount::keyringKey() const
{
    return user + QLatin1Char('@') + server.adjusted(QUrl::RemoveUserInfo | QUrl::StripTrailingSlash).toString();
}

SyncTarget SyncAccount::target(const QString &password) const
{
    return {server, user, password, calendar, tasks, addressBook};
}

void SyncAccount::record(const SyncReport &report, bool retried)
{
    lastSync = report.finished;
    lastSummary = report.summary();
    if (!report.ok && retried)
        lastSummary = lastSummary.chopped(lastSummary.endsWith(u'.') ? 1 : 0) + QStringLiteral("; se reintentará.");
    // An unreachable server tells nothing of the conflicts: those of the last pass that ran stay.
    if (report.ok)
        conflicts = report.conflicts;
}
