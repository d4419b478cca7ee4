// SPDX-License-Identifier: GPL-3.0-or-later
// formtool eval: write inputs, recalculate, print the requested cells as the control reads them.
#include "Commands.h"

#include "Workbook.h"

namespace lw::formtool {

int eval(const QStringList &args)
{
    if (args.isEmpty())
        return fail(QStringLiteral("eval needs a file"));
    struct Write
    {
        int sheet, col, row;
        bool number;
        double value;
        QString text;
    };
    struct Get
    {
        int sheet, col, row;
    };
    QList<Write> writes;
    QList<Get> gets;
    for (int i = 1; i < args.size(); ++i) {
        const QString &opt = args[i];
        if (i + 1 >= args.size())
            return fail(QStringLiteral("%1 needs a value").arg(opt));
        const QString arg = args[++i];
        int s, c, r;
        if (opt == QLatin1String("--get")) {
            if (!parseAddress(arg, &s, &c, &r))
                return fail(QStringLiteral("bad address: %1").arg(arg));
            gets.append({s, c, r});
        } else if (opt == QLatin1String("--set") || opt == QLatin1String("--text")) {
            const int eq = arg.indexOf(QLatin1Char('='));
            if (eq < 0 || !parseAddress(arg.left(eq), &s, &c, &r))
                return fail(QStringLiteral("bad assignment: %1").arg(arg));
            Write w{s, c, r, opt == QLatin1String("--set"), 0, arg.mid(eq + 1)};
            if (w.number) {
                bool ok = false;
                w.value = w.text.trimmed().toDouble(&ok);
                if (!ok)
                    return fail(QStringLiteral("not a number: %1").arg(arg));
            }
            writes.append(w);
        } else {
            return fail(QStringLiteral("unknown option: %1").arg(opt));
        }
    }
    Workbook book;
    if (!open(args[0], book))
        return BadInput;
    for (const Write &w : writes) {
        if (!book.sheet(w.sheet))
            return fail(QStringLiteral("no sheet %1").arg(w.sheet));
        if (w.number)
            book.writeNumber(w.col, w.row, w.sheet, w.value);
        else
            book.writeText(w.col, w.row, w.sheet, w.text);
    }
    book.recalculate();
    for (const Get &g : gets) {
        if (!book.sheet(g.sheet))
            return fail(QStringLiteral("no sheet %1").arg(g.sheet));
        out(address(g.sheet, g.col, g.row) + QLatin1Char('\t') + book.readText(g.col, g.row, g.sheet)
            + QLatin1Char('\t') + formatGeneralNumber(book.readNumber(g.col, g.row, g.sheet)));
    }
    return 0;
}

} // namespace lw::formtool
