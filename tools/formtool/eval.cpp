// SPDX-License-Identifier: GPL-3.0-or-later
// formtool eval: write inputs, recalculate, print the requested cells as the control reads them.
#include "Commands.h"

#include "Workbook.h"

namespace lw::formtool {

int eval(const QStringList &args)
{
    if (args.isEmpty())
        return fail(QStringLiteral("eval needs a file"));
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
            Write w;
            if (!parseWrite(arg, opt == QLatin1String("--set"), &w))
                return BadInput;
            writes.append(w);
        } else {
            return fail(QStringLiteral("unknown option: %1").arg(opt));
        }
    }
    Workbook book;
    if (!open(args[0], book))
        return BadInput;
    if (!applyWrites(book, writes))
        return BadInput;
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
