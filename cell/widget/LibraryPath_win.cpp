// SPDX-License-Identifier: GPL-3.0-or-later
#include "LibraryPath.h"

#include <QDir>

#include <windows.h>

namespace lw {

QString libraryPathOf(const void *address)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(address), &module))
        return QString();
    wchar_t buf[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(module, buf, DWORD(sizeof buf / sizeof buf[0]));
    return n ? QDir::fromNativeSeparators(QString::fromWCharArray(buf, int(n))) : QString();
}

} // namespace lw
