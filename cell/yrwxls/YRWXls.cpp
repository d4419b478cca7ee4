// SPDX-License-Identifier: GPL-3.0-or-later
// Companion library of the spreadsheet control: the program only registers it. It keeps its
// own key, so registering it never disturbs the control's type-library entry.
#include "Registry.h"

#include <QFileInfo>

#include <dlfcn.h>

namespace {
const char *const kKey = "\\TypeLib\\YRWXls\\1.0\\0\\win32";

QString ownPath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&ownPath), &info) == 0 || !info.dli_fname)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
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
