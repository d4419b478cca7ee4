// SPDX-License-Identifier: GPL-3.0-or-later
// Reads Windows INI files the way GetPrivateProfileString does: sections and keys compared without
// regard to case, values trimmed, the file read afresh on each query (a missing file gives defaults).
#pragma once

#include <QString>

namespace lw {

class IniFile
{
public:
    explicit IniFile(QString path) : m_path(std::move(path)) {}

    QString readString(const QString &section, const QString &key, const QString &def = QString()) const;
    const QString &path() const { return m_path; }

private:
    QString m_path;
};

} // namespace lw
