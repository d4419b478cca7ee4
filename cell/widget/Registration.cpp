// SPDX-License-Identifier: GPL-3.0-or-later
// Registration entries called by Regsvr32: they record (or remove) this library's path under
// the control's type-library key in the registry stand-in.
#include "LibraryPath.h"
#include "Registry.h"

namespace {
QString ownPath()
{
    return lw::libraryPathOf(reinterpret_cast<const void *>(&ownPath));
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
