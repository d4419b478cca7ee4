// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins for the spreadsheet library in registration tests, built in three kinds: one whose
// DllRegisterServer writes the type-library key, one whose entry fails, one without the entry.
#include "Registry.h"

#if defined(CELLSTUB_OK)
extern "C" Q_DECL_EXPORT long DllRegisterServer()
{
    return lw::Registry::writeDefault(lw::Registry::cellTypeLibKey(), QStringLiteral("cell/CellCtrl5")) ? 0 : -1;
}
#elif defined(CELLSTUB_FAILS)
extern "C" Q_DECL_EXPORT long DllRegisterServer()
{
    return -2147467259L; // E_FAIL
}
#else
extern "C" Q_DECL_EXPORT long DllCanUnloadNow()
{
    return 0;
}
#endif
