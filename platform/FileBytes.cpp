// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileBytes.h"

#include <QFile>
#include <QSaveFile>

#include <stdexcept>

namespace lw {

QByteArray ReadFileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("无法打开文件 %1：%2").arg(path, file.errorString()).toStdString());
    QByteArray bytes;
    char block[1024];
    for (;;) {
        const qint64 n = file.read(block, sizeof block);
        if (n < 0)
            throw std::runtime_error(QStringLiteral("读取文件 %1 失败：%2").arg(path, file.errorString()).toStdString());
        if (n == 0)
            break;
        bytes.append(block, n);
    }
    return bytes;
}

void WriteFileBytes(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error(QStringLiteral("写入文件 %1 失败：%2").arg(path, file.errorString()).toStdString());
}

} // namespace lw
