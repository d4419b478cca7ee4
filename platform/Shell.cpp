// SPDX-License-Identifier: GPL-3.0-or-later
#include "Shell.h"

#include <QLibrary>
#include <QProcess>

namespace lw {

namespace {
Shell::Starter g_starter;
}

bool Shell::startHidden(const QString &program, const QStringList &args)
{
    if (g_starter)
        return g_starter(program, args);
    QProcess process;
    process.setProgram(program);
    process.setArguments(args);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

void Shell::setStarter(Starter starter)
{
    g_starter = std::move(starter);
}

Shell::EntryResult Shell::callLibraryEntry(const QString &libraryPath, const char *entry)
{
    QLibrary library(libraryPath);
    if (!library.load())
        return EntryResult::NoLibrary;
    using Fn = long (*)();
    auto fn = reinterpret_cast<Fn>(library.resolve(entry));
    EntryResult result = EntryResult::NoEntry;
    if (fn)
        result = fn() < 0 ? EntryResult::EntryFailed : EntryResult::Called;
    library.unload();
    return result;
}

} // namespace lw
