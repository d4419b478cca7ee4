// SPDX-License-Identifier: GPL-3.0-or-later
// The formula lexer (internal to the formula code): tokens with their positions, so that the
// parser and the shifting of shared formulas read references the same way.
#pragma once

#include "Formula.h"
#include "Workbook.h"

#include <QString>

namespace lw::formula {

constexpr int MaxFormulaLength = 8192;

inline bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.') || c == QLatin1Char('$')
        || c == QLatin1Char('\\');
}

// Column letters (optionally after '$'): returns chars consumed, 0 when none.
inline int readColumn(const QString &s, int i, int *col, bool *abs)
{
    int p = i;
    *abs = false;
    if (p < s.size() && s[p] == QLatin1Char('$')) {
        *abs = true;
        ++p;
    }
    int c = 0, n = 0;
    while (p < s.size() && n < 4) {
        const ushort u = s[p].unicode();
        const ushort up = (u >= 'a' && u <= 'z') ? ushort(u - 32) : u;
        if (up < 'A' || up > 'Z')
            break;
        c = c * 26 + (up - 'A' + 1);
        ++p;
        ++n;
    }
    if (n == 0 || n > 3 || c > MaxCol)
        return 0;
    *col = c;
    return p - i;
}

inline int readRow(const QString &s, int i, int *row, bool *abs)
{
    int p = i;
    *abs = false;
    if (p < s.size() && s[p] == QLatin1Char('$')) {
        *abs = true;
        ++p;
    }
    qint64 r = 0;
    int n = 0;
    while (p < s.size() && s[p].unicode() >= '0' && s[p].unicode() <= '9') {
        r = r * 10 + (s[p].unicode() - '0');
        if (r > MaxRow)
            return 0;
        ++p;
        ++n;
    }
    if (n == 0 || r < 1)
        return 0;
    *row = int(r);
    return p - i;
}

struct RefPart
{
    int col = 0, row = 0;
    bool colAbs = false, rowAbs = false;
    bool hasCol = false, hasRow = false;
};

// A whole word as a cell ("A1"), column ("A") or row ("1") reference.
inline bool parseRefPart(const QString &w, RefPart *p)
{
    int i = readColumn(w, 0, &p->col, &p->colAbs);
    p->hasCol = i > 0;
    int j = readRow(w, i, &p->row, &p->rowAbs);
    p->hasRow = j > 0;
    if (!p->hasCol && !p->hasRow)
        return false;
    return i + j == w.size();
}

enum class Tok { End, Number, String, Bool, Error, Ref, Name, Func, Op, LParen, RParen, Comma, Semicolon, LBrace, RBrace, Bad };

struct Token
{
    Tok kind = Tok::End;
    int start = 0;
    int end = 0;
    double number = 0;
    QString text;      // string literal, name, operator
    CellError error = CellError::None;
    // Ref: sheet prefix and both corners as written
    QString sheet;
    bool hasSheet = false;
    int sheetEnd = 0; // where the reference part begins
    RefPart a, b;
    bool range = false;
};

class Lexer
{
public:
    explicit Lexer(const QString &s) : m_s(s) {}

    Token next()
    {
        Token t;
        while (m_i < m_s.size() && (m_s[m_i].isSpace()))
            ++m_i;
        t.start = m_i;
        if (m_i >= m_s.size()) {
            t.end = m_i;
            return t;
        }
        const QChar c = m_s[m_i];
        const ushort u = c.unicode();
        if (u == '"')
            return stringLit(t);
        if (u == '#')
            return errorLit(t);
        if ((u >= '0' && u <= '9') || (u == '.' && m_i + 1 < m_s.size() && m_s[m_i + 1].isDigit())) {
            Token r = t;
            if (rowRange(r))
                return r;
            return number(t);
        }
        if (u == '\'')
            return quotedSheet(t);
        if (isWordChar(c))
            return word(t);
        ++m_i;
        t.end = m_i;
        switch (u) {
        case '(': t.kind = Tok::LParen; return t;
        case ')': t.kind = Tok::RParen; return t;
        case ',': t.kind = Tok::Comma; return t;
        case ';': t.kind = Tok::Semicolon; return t;
        case '{': t.kind = Tok::LBrace; return t;
        case '}': t.kind = Tok::RBrace; return t;
        case '+': case '-': case '*': case '/': case '^': case '&': case '%': case '=':
            t.kind = Tok::Op;
            t.text = QString(c);
            return t;
        case '<': case '>':
            t.kind = Tok::Op;
            t.text = QString(c);
            if (m_i < m_s.size() && (m_s[m_i] == QLatin1Char('=') || (u == '<' && m_s[m_i] == QLatin1Char('>')))) {
                t.text += m_s[m_i];
                ++m_i;
                t.end = m_i;
            }
            return t;
        default:
            t.kind = Tok::Bad;
            return t;
        }
    }

    int pos() const { return m_i; }

private:
    Token stringLit(Token t)
    {
        ++m_i;
        QString out;
        for (;;) {
            if (m_i >= m_s.size()) {
                t.kind = Tok::Bad;
                t.end = m_i;
                return t;
            }
            if (m_s[m_i] == QLatin1Char('"')) {
                if (m_i + 1 < m_s.size() && m_s[m_i + 1] == QLatin1Char('"')) {
                    out += QLatin1Char('"');
                    m_i += 2;
                    continue;
                }
                ++m_i;
                break;
            }
            out += m_s[m_i++];
        }
        t.kind = Tok::String;
        t.text = out;
        t.end = m_i;
        return t;
    }

    Token errorLit(Token t)
    {
        static const char *const names[] = {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A"};
        for (const char *n : names) {
            const QLatin1String ln(n);
            if (m_s.mid(m_i, ln.size()).compare(ln, Qt::CaseInsensitive) == 0) {
                m_i += ln.size();
                t.kind = Tok::Error;
                t.error = errorFromText(ln);
                t.end = m_i;
                return t;
            }
        }
        ++m_i;
        t.kind = Tok::Bad;
        t.end = m_i;
        return t;
    }

    Token number(Token t)
    {
        int p = m_i;
        while (p < m_s.size() && m_s[p].isDigit())
            ++p;
        if (p < m_s.size() && m_s[p] == QLatin1Char('.')) {
            ++p;
            while (p < m_s.size() && m_s[p].isDigit())
                ++p;
        }
        if (p < m_s.size() && (m_s[p] == QLatin1Char('e') || m_s[p] == QLatin1Char('E'))) {
            int q = p + 1;
            if (q < m_s.size() && (m_s[q] == QLatin1Char('+') || m_s[q] == QLatin1Char('-')))
                ++q;
            if (q < m_s.size() && m_s[q].isDigit()) {
                while (q < m_s.size() && m_s[q].isDigit())
                    ++q;
                p = q;
            }
        }
        bool ok = false;
        t.number = m_s.mid(m_i, p - m_i).toDouble(&ok);
        t.kind = ok && std::isfinite(t.number) ? Tok::Number : Tok::Bad;
        m_i = p;
        t.end = p;
        return t;
    }

    // "3:5" (whole rows)
    bool rowRange(Token &t)
    {
        int p = m_i;
        RefPart a, b;
        int n = readRow(m_s, p, &a.row, &a.rowAbs);
        if (n == 0 || p + n >= m_s.size() || m_s[p + n] != QLatin1Char(':'))
            return false;
        int m = readRow(m_s, p + n + 1, &b.row, &b.rowAbs);
        if (m == 0)
            return false;
        int e = p + n + 1 + m;
        if (e < m_s.size() && isWordChar(m_s[e]))
            return false;
        a.hasRow = b.hasRow = true;
        t.kind = Tok::Ref;
        t.a = a;
        t.b = b;
        t.range = true;
        t.sheetEnd = m_i;
        m_i = e;
        t.end = e;
        return true;
    }

    Token quotedSheet(Token t)
    {
        int p = m_i + 1;
        QString name;
        for (;;) {
            if (p >= m_s.size()) {
                m_i = p;
                t.kind = Tok::Bad;
                t.end = p;
                return t;
            }
            if (m_s[p] == QLatin1Char('\'')) {
                if (p + 1 < m_s.size() && m_s[p + 1] == QLatin1Char('\'')) {
                    name += QLatin1Char('\'');
                    p += 2;
                    continue;
                }
                ++p;
                break;
            }
            name += m_s[p++];
        }
        if (p >= m_s.size() || m_s[p] != QLatin1Char('!')) {
            m_i = p;
            t.kind = Tok::Bad;
            t.end = p;
            return t;
        }
        m_i = p + 1;
        return reference(t, name, true);
    }

    QString readWord()
    {
        int p = m_i;
        while (p < m_s.size() && isWordChar(m_s[p]))
            ++p;
        QString w = m_s.mid(m_i, p - m_i);
        m_i = p;
        return w;
    }

    Token word(Token t)
    {
        const QString w = readWord();
        if (m_i < m_s.size() && m_s[m_i] == QLatin1Char('!')) {
            ++m_i;
            return reference(t, w, true);
        }
        // A function name runs up to its parenthesis.
        int p = m_i;
        while (p < m_s.size() && m_s[p] == QLatin1Char(' '))
            ++p;
        if (p < m_s.size() && m_s[p] == QLatin1Char('(')) {
            t.kind = Tok::Func;
            t.text = w.toUpper();
            if (t.text.startsWith(QLatin1String("_XLFN.")))
                t.text = t.text.mid(6);
            m_i = p + 1;
            t.end = m_i;
            return t;
        }
        m_i = t.start;
        return reference(t, QString(), false);
    }

    // After an optional sheet prefix: a cell, a range, or failing that a name or boolean.
    Token reference(Token t, const QString &sheet, bool hasSheet)
    {
        t.sheet = sheet;
        t.hasSheet = hasSheet;
        t.sheetEnd = m_i;
        const int wordStart = m_i;
        const QString w = readWord();
        RefPart a;
        bool okA = !w.isEmpty() && parseRefPart(w, &a);
        if (okA && m_i < m_s.size() && m_s[m_i] == QLatin1Char(':')) {
            const int save = m_i;
            ++m_i;
            const QString w2 = readWord();
            RefPart b;
            if (!w2.isEmpty() && parseRefPart(w2, &b) && a.hasCol == b.hasCol && a.hasRow == b.hasRow) {
                t.kind = Tok::Ref;
                t.a = a;
                t.b = b;
                t.range = true;
                t.end = m_i;
                return t;
            }
            m_i = save;
        }
        if (okA && a.hasCol && a.hasRow) {
            t.kind = Tok::Ref;
            t.a = a;
            t.end = m_i;
            return t;
        }
        if (hasSheet && w.isEmpty() && m_s.mid(m_i, 5).compare(QLatin1String("#REF!"), Qt::CaseInsensitive) == 0) {
            m_i += 5;
            t.kind = Tok::Error;
            t.error = CellError::Ref;
            t.end = m_i;
            return t;
        }
        t.end = m_i;
        if (hasSheet || w.isEmpty()) {
            t.kind = Tok::Bad;
            if (m_i == wordStart)
                ++m_i;
            t.end = m_i;
            return t;
        }
        const QString up = w.toUpper();
        if (up == QLatin1String("TRUE") || up == QLatin1String("FALSE")) {
            t.kind = Tok::Bool;
            t.number = up == QLatin1String("TRUE") ? 1 : 0;
            return t;
        }
        t.kind = Tok::Name;
        t.text = w;
        return t;
    }

    const QString &m_s;
    int m_i = 0;
};

} // namespace lw::formula
