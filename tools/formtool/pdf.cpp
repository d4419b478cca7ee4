// SPDX-License-Identifier: GPL-3.0-or-later
// formtool pdf: write inputs, recalculate and print the form into a PDF, as the declaration
// window does, so a template's printout can be checked without the program.
#include "Commands.h"

#include "WorkbookPrint.h"
#include "Workbook.h"

namespace lw::formtool {

int pdf(const QStringList &args)
{
    if (args.size() < 2 || args[1].startsWith(QLatin1String("--")))
        return fail(QStringLiteral("pdf needs a file and an output file"));
    QList<Write> writes;
    PrintOptions options;
    for (int i = 2; i < args.size(); ++i) {
        const QString &opt = args[i];
        if (i + 1 >= args.size())
            return fail(QStringLiteral("%1 needs a value").arg(opt));
        const QString arg = args[++i];
        if (opt == QLatin1String("--set") || opt == QLatin1String("--text")) {
            Write w;
            if (!parseWrite(arg, opt == QLatin1String("--set"), &w))
                return BadInput;
            writes.append(w);
        } else if (opt == QLatin1String("--sheet")) {
            bool ok = false;
            const int sheet = arg.toInt(&ok);
            if (!ok || sheet < 0)
                return fail(QStringLiteral("bad sheet: %1").arg(arg));
            options.sheets.push_back(sheet);
        } else if (opt == QLatin1String("--title")) {
            options.title = arg;
        } else {
            return fail(QStringLiteral("unknown option: %1").arg(opt));
        }
    }
    Workbook book;
    if (!open(args[0], book) || !applyWrites(book, writes))
        return BadInput;
    for (int s : options.sheets)
        if (!book.sheet(s))
            return fail(QStringLiteral("no sheet %1").arg(s));
    book.recalculate();
    QString error;
    if (!writeWorkbookPdf(book, args[1], options, &error))
        return fail(error);
    return 0;
}

} // namespace lw::formtool
