// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"

#include "Workbook.h"
#include "XlsxReader.h"

#include <cstdio>

namespace lw::formtool {

int fail(const QString &message)
{
    std::fprintf(stderr, "formtool: %s\n", message.toLocal8Bit().constData());
    return BadInput;
}

void out(const QString &line)
{
    const QByteArray b = line.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
    std::fputc('\n', stdout);
}

bool open(const QString &path, Workbook &book)
{
    QString error;
    if (!readXlsxFile(path, book, &error)) {
        fail(error);
        return false;
    }
    return true;
}

bool parseAddress(const QString &text, int *sheet, int *col, int *row)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 3)
        return false;
    bool a = false, b = false, c = false;
    *sheet = parts[0].toInt(&a);
    *col = parts[1].toInt(&b);
    *row = parts[2].toInt(&c);
    return a && b && c && *sheet >= 0 && *col >= 1 && *col <= MaxCol && *row >= 1 && *row <= MaxRow;
}

QString address(int sheet, int col, int row)
{
    return QStringLiteral("%1:%2:%3").arg(sheet).arg(col).arg(row);
}

} // namespace lw::formtool
