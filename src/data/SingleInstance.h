#pragma once

#include <QLockFile>
#include <QString>

// Holds the lock that tells a second copy of the program that one is already running. A lock
// left behind by a copy that crashed is taken over, since its process no longer exists, and so
// is an empty or damaged lock, which names no copy at all.
class SingleInstance final
{
public:
    explicit SingleInstance(const QString &lockFile);
    bool tryAcquire();

private:
    bool namesAnOwner() const;

    QLockFile m_lock;
};
