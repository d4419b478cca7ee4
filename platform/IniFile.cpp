// SPDX-License-Identifier: GPL-3.0-or-later
#include "IniFile.h"

#include <QFile>
#include <QStringDecoder>

namespace lw {

namespace {
// INI files from Windows servers are often GBK; take UTF-8 when the bytes are valid UTF-8.
QString decode(const QByteArray &bytes)
{
    QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(body);
    if (!utf8.hasError())
        return text;
    QStringDecoder gbk("GB18030");
    if (gbk.isValid())
        return gbk(body);
    return QString::fromLatin1(body);
}
} // namespace

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return def;
    const QString text = decode(file.read(1 << 20));
    bool inSection = false;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inSection = line.mid(1, line.size() - 2).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
            QString value = line.mid(eq + 1).trimmed();
            // A value in matching quotes loses them, as on Windows.
            if (value.size() >= 2 && value.front() == value.back()
                && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return def;
}

} // namespace lw
