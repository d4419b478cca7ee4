// SPDX-License-Identifier: GPL-3.0-or-later
// One copy of the program per user: a lock file named after the token in the user's runtime
// directory. A lock left by a dead process is taken over.
#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace lw {

class SingleInstance
{
public:
    explicit SingleInstance(const QString &token = QStringLiteral("quorvane"));
    // True when this process now holds the token; the lock is held until the object dies.
    bool tryAcquire();
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace lw
