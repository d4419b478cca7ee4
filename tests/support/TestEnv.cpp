// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnv.h"

#include "Clock.h"
#include "Paths.h"
#include "Shell.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <stdexcept>

namespace lw::test {

namespace {
void copyRecursively(const QString &from, const QString &to)
{
    QFileInfo info(from);
    if (info.isDir()) {
        QDir().mkpath(to);
        QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            it.next();
            copyRecursively(it.filePath(), to + QLatin1Char('/') + it.fileName());
        }
    } else {
        QDir().mkpath(QFileInfo(to).absolutePath());
        QFile::remove(to);
        if (!QFile::copy(from, to))
            throw std::runtime_error(("cannot copy " + from + " to " + to).toStdString());
        QFile::setPermissions(to, QFile::permissions(to) | QFile::WriteOwner);
    }
}
} // namespace

TestEnv::TestEnv(bool withDatabase)
{
    QStandardPaths::setTestModeEnabled(true);
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary directory");
    Paths::setAppPath(m_dir.path());
    QDir(m_dir.path()).mkpath(QStringLiteral("tmp"));
    QDir(m_dir.path()).mkpath(QStringLiteral("xml"));
    if (withDatabase)
        copyFromStage(QStringLiteral("db/db.sqlite"));
    Shell::setStarter([this](const QString &program, const QStringList &args) {
        started << (QStringList{program} + args).join(QLatin1Char(' '));
        return true;
    });
}

TestEnv::~TestEnv()
{
    Shell::setStarter({});
    Paths::reset();
    Clock::reset();
}

QString TestEnv::appPath() const
{
    return Paths::appPath();
}

void TestEnv::copyFromStage(const QString &relative)
{
    copyRecursively(stageDir() + QLatin1Char('/') + relative, m_dir.path() + QLatin1Char('/') + relative);
}

void TestEnv::writeFile(const QString &relative, const QByteArray &bytes)
{
    const QString path = m_dir.path() + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error(("cannot write " + path).toStdString());
}

QString TestEnv::stageDir()
{
    return qEnvironmentVariable("LW_STAGE");
}

QString TestEnv::sourceDir()
{
    return qEnvironmentVariable("LW_SOURCE");
}

QString TestEnv::binDir()
{
    return qEnvironmentVariable("LW_BIN");
}

} // namespace lw::test
