#include "data/SingleInstance.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

SingleInstance::SingleInstance(const QString &lockFile)
    : m_serverName(QFileInfo(lockFile).absoluteFilePath() + QStringLiteral(".socket"))
    , m_lock(lockFile)
{
    m_lock.setStaleLockTime(0); // only a dead owner makes the lock stale, never its age
}

SingleInstance::~SingleInstance()
{
    dropName();
}

bool SingleInstance::takeName()
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // In the abstract namespace: a zero byte, then the name, without a terminating zero.
    const QByteArray name = QFile::encodeName(m_serverName);
    const size_t length = std::min(name.size(), qsizetype(sizeof address.sun_path - 1));
    std::memcpy(address.sun_path + 1, name.constData(), length);
    m_socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_socket < 0)
        return true;
    if (::bind(m_socket, reinterpret_cast<const sockaddr *>(&address),
               socklen_t(offsetof(sockaddr_un, sun_path) + 1 + length)) == 0)
        return true;
    const bool taken = errno == EADDRINUSE;
    dropName();
    return !taken;
}

void SingleInstance::dropName()
{
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
}

bool SingleInstance::tryAcquire()
{
    if (m_lock.isLocked())
        return true;
    // The name is taken only while the copy that took it runs.
    if (!takeName())
        return false;
    if (holdLock())
        return true;
    dropName();
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
