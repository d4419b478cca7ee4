// SPDX-License-Identifier: GPL-3.0-or-later
// Shifting shared formulas and reading cell addresses, on the lexer's tokens.
#include "Formula.h"
#include "FormulaLexer.h"

namespace lw {

namespace {

using namespace formula;

QString refPartText(const RefPart &p)
{
    QString s;
    if (p.hasCol) {
        if (p.colAbs)
            s += QLatin1Char('$');
        s += columnName(p.col);
    }
    if (p.hasRow) {
        if (p.rowAbs)
            s += QLatin1Char('$');
        s += QString::number(p.row);
    }
    return s;
}

bool shiftPart(RefPart &p, int dcol, int drow)
{
    if (p.hasCol && !p.colAbs) {
        p.col += dcol;
        if (p.col < 1 || p.col > MaxCol)
            return false;
    }
    if (p.hasRow && !p.rowAbs) {
        p.row += drow;
        if (p.row < 1 || p.row > MaxRow)
            return false;
    }
    return true;
}
} // namespace

QString shiftFormula(const QString &text, int dcol, int drow)
{
    if (text.size() > MaxFormulaLength)
        return text;
    Lexer lex(text);
    QString out;
    int copied = 0;
    for (;;) {
        Token t = lex.next();
        if (t.kind == Tok::End)
            break;
        if (t.kind != Tok::Ref)
            continue;
        out += text.mid(copied, t.start - copied);
        RefPart a = t.a, b = t.b;
        bool ok = shiftPart(a, dcol, drow) && (!t.range || shiftPart(b, dcol, drow));
        if (!ok) {
            out += text.mid(t.start, t.sheetEnd - t.start) + QStringLiteral("#REF!");
        } else {
            out += text.mid(t.start, t.sheetEnd - t.start) + refPartText(a);
            if (t.range)
                out += QLatin1Char(':') + refPartText(b);
        }
        copied = t.end;
    }
    out += text.mid(copied);
    return out;
}

bool parseCellAddress(const QString &text, int *col, int *row)
{
    RefPart p;
    if (!parseRefPart(text, &p) || !p.hasCol || !p.hasRow)
        return false;
    *col = p.col;
    *row = p.row;
    return true;
}

bool parseRangeAddress(const QString &text, int *col1, int *row1, int *col2, int *row2)
{
    const int colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        if (!parseCellAddress(text, col1, row1))
            return false;
        *col2 = *col1;
        *row2 = *row1;
        return true;
    }
    if (!parseCellAddress(text.left(colon), col1, row1) || !parseCellAddress(text.mid(colon + 1), col2, row2))
        return false;
    if (*col1 > *col2) std::swap(*col1, *col2);
    if (*row1 > *row2) std::swap(*row1, *row2);
    return true;
}

} // namespace lw
