// SPDX-License-Identifier: GPL-3.0-or-later
#include "LibraryPath.h"

#include <QFileInfo>

#include <dlfcn.h>

namespace lw {

QString libraryPathOf(const void *address)
{
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}

} // namespace lw
