// SPDX-License-Identifier: GPL-3.0-or-later
// Regsvr32 stand-in: "Regsvr32 [-s] [-u] library" loads the library and calls its
// DllRegisterServer (or DllUnregisterServer with -u). With -s nothing is printed.
#include "Shell.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    bool silent = false;
    bool unregister = false;
    QString library;
    const QStringList args = app.arguments().mid(1);
    for (const QString &arg : args) {
        if (arg.compare(QLatin1String("-s"), Qt::CaseInsensitive) == 0 || arg.compare(QLatin1String("/s"), Qt::CaseInsensitive) == 0)
            silent = true;
        else if (arg.compare(QLatin1String("-u"), Qt::CaseInsensitive) == 0 || arg.compare(QLatin1String("/u"), Qt::CaseInsensitive) == 0)
            unregister = true;
        else if (library.isEmpty())
            library = arg;
        else // an unquoted path with blanks arrives in pieces
            library += QLatin1Char(' ') + arg;
    }
    if (library.isEmpty()) {
        if (!silent)
            std::fprintf(stderr, "usage: Regsvr32 [-s] [-u] library\n");
        return 2;
    }
    const char *entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    using R = lw::Shell::EntryResult;
    const R result = lw::Shell::callLibraryEntry(library, entry);
    if (!silent) {
        const QByteArray name = library.toLocal8Bit();
        switch (result) {
        case R::Called: std::printf("%s in %s succeeded.\n", entry, name.constData()); break;
        case R::NoLibrary: std::fprintf(stderr, "The module %s failed to load.\n", name.constData()); break;
        case R::NoEntry: std::fprintf(stderr, "The entry point %s was not found in %s.\n", entry, name.constData()); break;
        case R::EntryFailed: std::fprintf(stderr, "%s in %s failed.\n", entry, name.constData()); break;
        }
    }
    return result == R::Called ? 0 : 3;
}
