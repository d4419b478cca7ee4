// SPDX-License-Identifier: GPL-3.0-or-later
#include "UntF_IniFile.h"

#include "Paths.h"

namespace lw {

TIniSys::TIniSys() : m_ini(std::make_unique<IniFile>(Paths::appPath() + QStringLiteral("Audit.cfg"))) {}

void TIniSys::GetServiceUrl(QString &url) const
{
    url = m_ini->readString(QStringLiteral("webservice"), QStringLiteral("url"));
}

QString TIniSys::GetServiceUrl() const
{
    QString url;
    GetServiceUrl(url);
    return url;
}

QString TIniSys::GetUpgradeUrl() const
{
    return m_ini->readString(QStringLiteral("http"), QStringLiteral("url1"));
}

} // namespace lw
