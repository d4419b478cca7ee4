// SPDX-License-Identifier: GPL-3.0-or-later
#include "SingleInstance.h"

#include "Paths.h"

namespace lw {

SingleInstance::SingleInstance(const QString &token)
    : m_path(Paths::runtimeDir() + token + QStringLiteral(".lock"))
{
}

bool SingleInstance::tryAcquire()
{
    m_lock = std::make_unique<QLockFile>(m_path);
    // Only a dead owner makes the lock stale, never its age: a copy may run for weeks.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    m_lock.reset();
    return false;
}

} // namespace lw
