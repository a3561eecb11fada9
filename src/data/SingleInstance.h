#pragma once

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
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;
    bool tryAcquire();

private:
    bool holdLock();
    bool namesAnOwner() const;
    // Takes the socket's name: false when another process holds it. A system without local
    // sockets leaves the decision to the lock file alone.
    bool takeName();
    void dropName();

    // The socket is a plain one (no Qt Network): nothing ever connects to it, it only holds the
    // name, and the program starts without the network libraries.
    int m_socket = -1;
    QString m_serverName;
    QLockFile m_lock;
};
