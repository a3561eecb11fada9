#include "data/SingleInstance.h"

#include <QFileInfo>
#include <QThread>

SingleInstance::SingleInstance(const QString &lockFile)
    : m_serverName(QFileInfo(lockFile).absoluteFilePath() + QStringLiteral(".socket"))
    , m_lock(lockFile)
{
    m_server.setSocketOptions(QLocalServer::AbstractNamespaceOption);
    m_lock.setStaleLockTime(0); // only a dead owner makes the lock stale, never its age
}

bool SingleInstance::tryAcquire()
{
    if (m_lock.isLocked())
        return true;
    // The name is taken only while the copy that took it runs. Any other failure to listen (a
    // system without local sockets) leaves the decision to the lock file alone.
    if (!m_server.listen(m_serverName) && m_server.serverError() == QAbstractSocket::AddressInUseError)
        return false;
    if (holdLock())
        return true;
    m_server.close();
    return false;
}

bool SingleInstance::holdLock()
{
    if (m_lock.tryLock(0))
        return true;
    if (m_lock.error() != QLockFile::LockFailedError || namesAnOwner())
        return false;
    // An empty or damaged lock names no running copy: it was left by a crash or a full disk.
    m_lock.removeStaleLockFile();
    return m_lock.tryLock(0);
}

bool SingleInstance::namesAnOwner() const
{
    qint64 pid = 0;
    QString host;
    QString application;
    if (m_lock.getLockInfo(&pid, &host, &application))
        return true;
    // A copy starting at this very moment has created its lock and not yet written it.
    QThread::msleep(100);
    return m_lock.getLockInfo(&pid, &host, &application);
}
