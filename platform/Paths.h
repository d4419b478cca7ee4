// SPDX-License-Identifier: GPL-3.0-or-later
// Where things live. Tests point these at temporary directories.
#pragma once

#include <QString>

namespace lw {

class Paths
{
public:
    // The installation directory with a trailing '/', the program's AppPath: the directory the
    // environment variable LEDGERWELL_APPPATH names, else the executable's own directory.
    static QString appPath();
    static void setAppPath(const QString &dir);

    // The user's data directory (marker file) and configuration directory (registry stand-in).
    static QString dataDir();
    static QString configDir();
    // Where the single-instance lock lives.
    static QString runtimeDir();

    // Restores the defaults derived from the running program and QStandardPaths.
    static void reset();
};

} // namespace lw

namespace lw {
// File names as the platform spells them: "CellCtrl5" -> "libCellCtrl5.so" or "CellCtrl5.dll";
// "upgrade" -> "upgrade" or "upgrade.exe".
QString LibraryFileName(const QString &base);
QString ProgramFileName(const QString &base);
} // namespace lw

namespace lw {
// The marker file that records where the program is installed.
QString MarkerFilePath();

// Files and folders the program creates from now on are readable by their owner only.
void RestrictNewFilesToOwner();
} // namespace lw
