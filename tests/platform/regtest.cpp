// SPDX-License-Identifier: GPL-3.0-or-later
// A library with registration entries that leave a trace, for the Regsvr32 stand-in's tests.
#include <cstdio>
#include <cstdlib>

static long mark(const char *what)
{
    if (const char *path = std::getenv("LW_REGTEST_MARKER")) {
        if (FILE *f = std::fopen(path, "w")) {
            std::fputs(what, f);
            std::fclose(f);
        }
    }
    return 0;
}

extern "C" __attribute__((visibility("default"))) long DllRegisterServer() { return mark("registered"); }
extern "C" __attribute__((visibility("default"))) long DllUnregisterServer() { return mark("unregistered"); }
