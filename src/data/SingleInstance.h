#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QString>

// Tells a second copy of the program that one is already running, one copy per user. The running
// copy holds a local socket in the abstract namespace, named after the lock file: the kernel
// keeps the name for as long as the process lives and frees it when the process ends, however
// it ends, so there is no file to delete, replace or leave behind. The lock file beside it still
// refuses a copy of an earlier version that knows only the lock. A lock left behind by a copy
// that crashed is taken over, since its process no longer exists, and so is an empty or damaged
// lock, which names no copy at all.
class SingleInstance final
{
public:
    explicit SingleInstance(const QString &lockFile);
    bool tryAcquire();

private:
    bool holdLock();
    bool namesAnOwner() const;

    QLocalServer m_server;
    QString m_serverName;
    QLockFile m_lock;
};
