// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as Audit.cfg or a downloaded update.ini: every key the program reads gives a text,
// never a crash, whatever the file holds.
#include "IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const lw::IniFile ini(path);
    const char *const keys[][2] = {{"webservice", "url"}, {"http", "url1"}, {"version", "ver"}, {"memo", "hint"},
                                   {"memo", "web"}, {"", ""}};
    for (const auto &k : keys)
        (void)ini.readString(QLatin1String(k[0]), QLatin1String(k[1]), QStringLiteral("default"));
    return 0;
}
