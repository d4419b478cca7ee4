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

bool parseWrite(const QString &arg, bool number, Write *w)
{
    const int eq = int(arg.indexOf(QLatin1Char('=')));
    if (eq < 0 || !parseAddress(arg.left(eq), &w->sheet, &w->col, &w->row)) {
        fail(QStringLiteral("bad assignment: %1").arg(arg));
        return false;
    }
    w->number = number;
    w->text = arg.mid(eq + 1);
    w->value = 0;
    if (number) {
        bool ok = false;
        w->value = w->text.trimmed().toDouble(&ok);
        if (!ok) {
            fail(QStringLiteral("not a number: %1").arg(arg));
            return false;
        }
    }
    return true;
}

bool applyWrites(Workbook &book, const QList<Write> &writes)
{
    for (const Write &w : writes) {
        if (!book.sheet(w.sheet)) {
            fail(QStringLiteral("no sheet %1").arg(w.sheet));
            return false;
        }
        if (w.number)
            book.writeNumber(w.col, w.row, w.sheet, w.value);
        else
            book.writeText(w.col, w.row, w.sheet, w.text);
    }
    return true;
}

} // namespace lw::formtool
