// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-in for the few registry keys the program uses: default values of key paths, kept in an
// INI file in the user's configuration directory. Stateless, so the spreadsheet library and the
// program see the same store.
#pragma once

#include <QString>

namespace lw {

class Registry
{
public:
    // Key path of the spreadsheet control's type library.
    static QString cellTypeLibKey();

    // The default (unnamed) value of a key; empty when the key or value is missing.
    static QString readDefault(const QString &keyPath);
    static bool writeDefault(const QString &keyPath, const QString &value);
    static bool removeKey(const QString &keyPath);

    // The file behind the store.
    static QString storeFile();
};

} // namespace lw
