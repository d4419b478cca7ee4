// SPDX-License-Identifier: GPL-3.0-or-later
// Registration entries called by Regsvr32: they record (or remove) this library's path under
// the control's type-library key in the registry stand-in.
#include "Registry.h"

#include <QFileInfo>

#include <dlfcn.h>

namespace {
QString ownPath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&ownPath), &info) == 0 || !info.dli_fname)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}
constexpr long S_Ok = 0;
constexpr long E_Fail = long(0x80004005L);
} // namespace

extern "C" Q_DECL_EXPORT long DllRegisterServer()
{
    const QString path = ownPath();
    if (path.isEmpty())
        return E_Fail;
    return lw::Registry::writeDefault(lw::Registry::cellTypeLibKey(), path) ? S_Ok : E_Fail;
}

extern "C" Q_DECL_EXPORT long DllUnregisterServer()
{
    return lw::Registry::removeKey(lw::Registry::cellTypeLibKey()) ? S_Ok : E_Fail;
}
