// SPDX-License-Identifier: GPL-3.0-or-later
#include "Registry.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace lw {

namespace {
// QSettings treats '/' and '\' as group separators; store the key path as one escaped group name
// so that the braces and dots of a type-library key survive unchanged.
QString groupFor(const QString &keyPath)
{
    return QString::fromLatin1(keyPath.toUtf8().toHex());
}
} // namespace

QString Registry::cellTypeLibKey()
{
    return QStringLiteral("\\TypeLib\\{4AD47395-AC3A-4FB2-9236-B04FC96EE9D2}\\1.0\\0\\win32");
}

QString Registry::storeFile()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QDir().mkpath(dir);
    return dir + QStringLiteral("/ledgerwell-registry.ini");
}

QString Registry::readDefault(const QString &keyPath)
{
    QSettings store(storeFile(), QSettings::IniFormat);
    return store.value(groupFor(keyPath) + QStringLiteral("/default")).toString();
}

bool Registry::writeDefault(const QString &keyPath, const QString &value)
{
    QSettings store(storeFile(), QSettings::IniFormat);
    store.setValue(groupFor(keyPath) + QStringLiteral("/path"), keyPath);
    store.setValue(groupFor(keyPath) + QStringLiteral("/default"), value);
    store.sync();
    return store.status() == QSettings::NoError;
}

bool Registry::removeKey(const QString &keyPath)
{
    QSettings store(storeFile(), QSettings::IniFormat);
    store.remove(groupFor(keyPath));
    store.sync();
    return store.status() == QSettings::NoError;
}

} // namespace lw
