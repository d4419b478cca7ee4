// SPDX-License-Identifier: GPL-3.0-or-later
#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace lw {

namespace {
QString g_appPath;

QString withSlash(QString dir)
{
    dir = QDir::fromNativeSeparators(dir);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString ensured(QString dir)
{
    QDir().mkpath(dir);
    return withSlash(dir);
}
} // namespace

QString Paths::appPath()
{
    if (g_appPath.isEmpty()) {
        // An installed program runs from each user's own tree, which its launcher names here;
        // the executable's directory is resolved through links, so a link cannot say it.
        const QString tree = qEnvironmentVariable("LEDGERWELL_APPPATH");
        g_appPath = withSlash(tree.isEmpty() ? QCoreApplication::applicationDirPath() : QDir(tree).absolutePath());
    }
    return g_appPath;
}

void Paths::setAppPath(const QString &dir)
{
    g_appPath = dir.isEmpty() ? QString() : withSlash(QDir(dir).absolutePath());
}

QString Paths::dataDir()
{
    return ensured(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString Paths::configDir()
{
    return ensured(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

QString Paths::runtimeDir()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return ensured(dir);
}

void Paths::reset()
{
    g_appPath.clear();
}

} // namespace lw

namespace lw {

QString LibraryFileName(const QString &base)
{
#ifdef Q_OS_WIN
    return base + QStringLiteral(".dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("lib") + base + QStringLiteral(".dylib");
#else
    return QStringLiteral("lib") + base + QStringLiteral(".so");
#endif
}

QString ProgramFileName(const QString &base)
{
#ifdef Q_OS_WIN
    return base + QStringLiteral(".exe");
#else
    return base;
#endif
}

} // namespace lw

namespace lw {
QString MarkerFilePath()
{
    return Paths::dataDir() + QStringLiteral("quorvane.dat");
}

void RestrictNewFilesToOwner()
{
#ifdef Q_OS_UNIX
    ::umask(077);
#endif
}

} // namespace lw
