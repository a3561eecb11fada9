#include "SingleInstance.h"

SingleInstance::SingleInstance(const QString &lockFile)
    : m_lock(lockFile)
{
    m_lock.setStaleLockTime(0); // only a dead owner makes the lock stale, never its age
}

bool SingleInstance::tryAcquire()
{
    return m_lock.isLocked() || m_lock.tryLock(0);
}
