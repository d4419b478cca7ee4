// SPDX-License-Identifier: GPL-3.0-or-later
// formtool dump: every non-empty cell, then every marked or unlocked cell.
#include "Commands.h"

#include "Workbook.h"

namespace lw::formtool {

namespace {
QString escaped(QString s)
{
    s.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    s.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    s.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    s.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return s;
}
} // namespace

int dump(const QStringList &args)
{
    if (args.size() != 1)
        return fail(QStringLiteral("dump needs exactly one file"));
    Workbook book;
    if (!open(args[0], book))
        return BadInput;
    for (int s = 0; s < book.sheetCount(); ++s) {
        for (const Cell *c : book.sheet(s)->sortedCells()) {
            QString kind, content;
            if (c->formula >= 0) {
                kind = QStringLiteral("formula");
                content = QLatin1Char('=') + book.formulaText(*c);
            } else {
                switch (c->value.type) {
                case ValueType::Empty: continue;
                case ValueType::Number: kind = QStringLiteral("number"); break;
                case ValueType::Text: kind = QStringLiteral("text"); break;
                case ValueType::Bool: kind = QStringLiteral("bool"); break;
                case ValueType::Error: kind = QStringLiteral("error"); break;
                }
                content = valueToText(c->value);
            }
            out(address(s, c->col, c->row) + QLatin1Char('\t') + kind + QLatin1Char('\t') + escaped(content));
        }
    }
    // Inputs and marks: what a form's mapping rows must agree with.
    for (int s = 0; s < book.sheetCount(); ++s) {
        for (const Cell *c : book.sheet(s)->sortedCells()) {
            const bool unlocked = !book.style(c->style).locked;
            if (!unlocked && c->mark == 0)
                continue;
            out(address(s, c->col, c->row) + QLatin1Char('\t') + (unlocked ? QStringLiteral("input") : QStringLiteral("locked"))
                + QStringLiteral("\tmark=") + QString::number(c->mark));
        }
    }
    return 0;
}

} // namespace lw::formtool
