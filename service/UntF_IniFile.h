// SPDX-License-Identifier: GPL-3.0-or-later
// Reader of the installation's own configuration, Audit.cfg.
#pragma once

#include "IniFile.h"

#include <QString>

#include <memory>

namespace lw {

class TIniSys
{
public:
    TIniSys();
    // Host of the bureau's service ("host[:port]"), empty when absent.
    void GetServiceUrl(QString &url) const;
    QString GetServiceUrl() const;
    // Complete address of the upgrade description, empty when absent.
    QString GetUpgradeUrl() const;

private:
    std::unique_ptr<IniFile> m_ini;
};

} // namespace lw
