// SPDX-License-Identifier: GPL-3.0-or-later
// A throw-away installation tree for one test: AppPath in a temporary directory holding a fresh
// copy of the built database (and, on request, other files of the built tree). QStandardPaths
// is in test mode, and started helper programs are recorded instead of run.
#pragma once

#include <QStringList>
#include <QTemporaryDir>

namespace lw::test {

class TestEnv
{
public:
    // Copies db/db.sqlite unless withDatabase is false.
    explicit TestEnv(bool withDatabase = true);
    ~TestEnv();

    QString appPath() const; // with trailing '/'
    // Copies a file or directory of the built installation tree (relative path) into this one.
    void copyFromStage(const QString &relative);
    void writeFile(const QString &relative, const QByteArray &bytes);

    // The built installation tree, the source tree and the build tree.
    static QString stageDir();
    static QString sourceDir();
    static QString binDir();

    // Programs started through the shell seam, as "program arg arg".
    QStringList started;

private:
    QTemporaryDir m_dir;
};

} // namespace lw::test
