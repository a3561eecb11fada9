#include "QtKeyring.h"

#include <qt6keychain/keychain.h>

namespace {

const QString Service = QStringLiteral("Quillomar");

// Why the keyring did not answer, in the user's words; QtKeychain's own text is English.
QString why(QKeychain::Error error)
{
    switch (error) {
    case QKeychain::NoError:
    case QKeychain::EntryNotFound:
        return {};
    case QKeychain::AccessDeniedByUser:
    case QKeychain::AccessDenied:
        return QStringLiteral("el depósito de contraseñas del escritorio no dio permiso");
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented:
        return QStringLiteral("el escritorio no tiene un depósito de contraseñas");
    default:
        return QStringLiteral("el depósito de contraseñas del escritorio no respondió");
    }
}

template <typename Job> Job *makeJob(QObject *parent, const QString &account)
{
    auto *job = new Job(Service, parent);
    job->setAutoDelete(true);
    job->setInsecureFallback(false); // never a file in the keyring's place
    job->setKey(account);
    return job;
}

} // namespace

void QtKeyring::read(const QString &account)
{
    auto *job = makeJob<QKeychain::ReadPasswordJob>(this, account);
    connect(job, &QKeychain::Job::finished, this, [this, job, account] {
        const bool found = job->error() == QKeychain::NoError;
        emit readDone(account, found, found ? job->textData() : QString(), why(job->error()));
    });
    job->start();
}

void QtKeyring::write(const QString &account, const QString &password)
{
    auto *job = makeJob<QKeychain::WritePasswordJob>(this, account);
    job->setTextData(password);
    connect(job, &QKeychain::Job::finished, this, [this, job, account] { emit writeDone(account, why(job->error())); });
    job->start();
}

void QtKeyring::remove(const QString &account)
{
    auto *job = makeJob<QKeychain::DeletePasswordJob>(this, account);
    job->start();
}
