// SPDX-License-Identifier: GPL-3.0-or-later
// Starting helper programs and calling a library's registration entry.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace lw {

class Shell
{
public:
    // Starts a program detached, without a window, and returns at once; the outcome is not
    // looked at. Tests may install a recorder instead.
    static bool startHidden(const QString &program, const QStringList &args);
    using Starter = std::function<bool(const QString &, const QStringList &)>;
    static void setStarter(Starter starter);

    enum class EntryResult { Called, NoLibrary, NoEntry, EntryFailed };
    // Loads the library, calls the named entry (HRESULT-style, no arguments) if present and
    // unloads the library again in every case.
    static EntryResult callLibraryEntry(const QString &libraryPath, const char *entry);
};

} // namespace lw
