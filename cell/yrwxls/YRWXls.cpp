// SPDX-License-Identifier: GPL-3.0-or-later
// Companion library of the spreadsheet control: the program only registers it. It keeps its
// own key, so registering it never disturbs the control's type-library entry.
#include "LibraryPath.h"
#include "Registry.h"

namespace {
const char *const kKey = "\\TypeLib\\YRWXls\\1.0\\0\\win32";

QString ownPath()
{
    return lw::libraryPathOf(reinterpret_cast<const void *>(&ownPath));
}
} // namespace

extern "C" Q_DECL_EXPORT long DllRegisterServer()
{
    return lw::Registry::writeDefault(QLatin1String(kKey), ownPath()) ? 0 : long(0x80004005L);
}

extern "C" Q_DECL_EXPORT long DllUnregisterServer()
{
    return lw::Registry::removeKey(QLatin1String(kKey)) ? 0 : long(0x80004005L);
}
