// SPDX-License-Identifier: GPL-3.0-or-later
#include "Formula.h"
#include "Functions.h"

#include <QHash>

#include <cmath>

namespace lw {

namespace {

constexpr int MaxDepth = 100;      // nesting of parentheses and function calls
constexpr int MaxFormulaLength = 8192;

const FunctionInfo kFunctions[FnCount_] = {
    {"SUM", 1, 255}, {"ROUND", 2, 2}, {"ROUNDUP", 2, 2}, {"ROUNDDOWN", 2, 2}, {"INT", 1, 1},
    {"ABS", 1, 1}, {"MAX", 1, 255}, {"MIN", 1, 255}, {"IF", 1, 3}, {"AND", 1, 255},
    {"OR", 1, 255}, {"NOT", 1, 1}, {"IFERROR", 2, 2}, {"LOOKUP", 2, 3}, {"VLOOKUP", 3, 4},
    {"COUNT", 1, 255}, {"COUNTA", 1, 255}, {"SUMIF", 2, 3}, {"LEFT", 1, 2}, {"RIGHT", 1, 2},
    {"MID", 3, 3}, {"LEN", 1, 1}, {"TEXT", 2, 2}, {"VALUE", 1, 1}, {"YEAR", 1, 1},
    {"MONTH", 1, 1}, {"DAY", 1, 1}, {"DATE", 3, 3}, {"CONCATENATE", 1, 255},
    {"ISBLANK", 1, 1}, {"ISNUMBER", 1, 1}, {"ISERROR", 1, 1}, {"TRIM", 1, 1},
};

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.') || c == QLatin1Char('$')
        || c == QLatin1Char('\\');
}

// Column letters (optionally after '$'): returns chars consumed, 0 when none.
int readColumn(const QString &s, int i, int *col, bool *abs)
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

int readRow(const QString &s, int i, int *row, bool *abs)
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
bool parseRefPart(const QString &w, RefPart *p)
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

class Parser
{
public:
    explicit Parser(const QString &s) : m_lex(s) { advance(); }

    ParsedFormula run()
    {
        if (!comparison(0) || m_tok.kind != Tok::End) {
            if (m_f.message.isEmpty())
                m_f.message = QStringLiteral("syntax error at %1").arg(m_tok.start);
            ParsedFormula bad;
            bad.error = CellError::Name;
            bad.message = m_f.message;
            bad.code.push_back({Op::Err, 0, int(CellError::Name)});
            bad.maxStack = 1;
            return bad;
        }
        m_f.maxStack = m_max;
        return std::move(m_f);
    }

private:
    void advance() { m_tok = m_lex.next(); }
    bool isOp(const char *op) const { return m_tok.kind == Tok::Op && m_tok.text == QLatin1String(op); }

    void put(Op op, int a = 0, int argc = 0, int stackDelta = 0)
    {
        m_f.code.push_back({op, std::uint8_t(argc), a});
        m_depth += stackDelta;
        if (m_depth > m_max)
            m_max = m_depth;
    }

    bool fail(const QString &msg)
    {
        if (m_f.message.isEmpty())
            m_f.message = msg;
        return false;
    }

    bool comparison(int depth)
    {
        if (depth > MaxDepth)
            return fail(QStringLiteral("nested too deeply"));
        if (!concat(depth))
            return false;
        for (;;) {
            Op op;
            if (isOp("=")) op = Op::Eq;
            else if (isOp("<>")) op = Op::Ne;
            else if (isOp("<")) op = Op::Lt;
            else if (isOp("<=")) op = Op::Le;
            else if (isOp(">")) op = Op::Gt;
            else if (isOp(">=")) op = Op::Ge;
            else return true;
            advance();
            if (!concat(depth))
                return false;
            put(op, 0, 0, -1);
        }
    }

    bool concat(int depth)
    {
        if (!additive(depth))
            return false;
        while (isOp("&")) {
            advance();
            if (!additive(depth))
                return false;
            put(Op::Cat, 0, 0, -1);
        }
        return true;
    }

    bool additive(int depth)
    {
        if (!multiplicative(depth))
            return false;
        while (isOp("+") || isOp("-")) {
            const Op op = isOp("+") ? Op::Add : Op::Sub;
            advance();
            if (!multiplicative(depth))
                return false;
            put(op, 0, 0, -1);
        }
        return true;
    }

    bool multiplicative(int depth)
    {
        if (!power(depth))
            return false;
        while (isOp("*") || isOp("/")) {
            const Op op = isOp("*") ? Op::Mul : Op::Div;
            advance();
            if (!power(depth))
                return false;
            put(op, 0, 0, -1);
        }
        return true;
    }

    bool power(int depth)
    {
        if (!postfix(depth))
            return false;
        while (isOp("^")) {
            advance();
            if (!postfix(depth))
                return false;
            put(Op::Pow, 0, 0, -1);
        }
        return true;
    }

    bool postfix(int depth)
    {
        if (!unary(depth))
            return false;
        while (isOp("%")) {
            advance();
            put(Op::Pct);
        }
        return true;
    }

    bool unary(int depth)
    {
        if (depth > MaxDepth)
            return fail(QStringLiteral("nested too deeply"));
        if (isOp("-")) {
            advance();
            if (!unary(depth + 1))
                return false;
            put(Op::Neg);
            return true;
        }
        if (isOp("+")) {
            advance();
            return unary(depth + 1);
        }
        return primary(depth);
    }

    bool primary(int depth)
    {
        const Token t = m_tok;
        switch (t.kind) {
        case Tok::Number:
            m_f.numbers.push_back(t.number);
            put(Op::Num, int(m_f.numbers.size() - 1), 0, 1);
            advance();
            return true;
        case Tok::String:
            m_f.strings.push_back(t.text);
            put(Op::Str, int(m_f.strings.size() - 1), 0, 1);
            advance();
            return true;
        case Tok::Bool:
            put(Op::Bool, int(t.number), 0, 1);
            advance();
            return true;
        case Tok::Error:
            put(Op::Err, int(t.error), 0, 1);
            advance();
            return true;
        case Tok::Name:
            // Defined names are not evaluated in formulas.
            put(Op::Err, int(CellError::Name), 0, 1);
            advance();
            return true;
        case Tok::Ref: {
            RefSpec r;
            r.sheet = t.sheet;
            r.hasSheet = t.hasSheet;
            r.range = t.range;
            r.col1 = t.a.hasCol ? t.a.col : 1;
            r.row1 = t.a.hasRow ? t.a.row : 1;
            if (t.range) {
                r.col2 = t.b.hasCol ? t.b.col : MaxCol;
                r.row2 = t.b.hasRow ? t.b.row : MaxRow;
                if (r.col1 > r.col2) std::swap(r.col1, r.col2);
                if (r.row1 > r.row2) std::swap(r.row1, r.row2);
            } else {
                r.col2 = r.col1;
                r.row2 = r.row1;
            }
            m_f.refs.push_back(r);
            put(Op::Ref, int(m_f.refs.size() - 1), 0, 1);
            advance();
            return true;
        }
        case Tok::LParen: {
            advance();
            if (!comparison(depth + 1))
                return false;
            if (m_tok.kind != Tok::RParen)
                return fail(QStringLiteral("missing )"));
            advance();
            return true;
        }
        case Tok::Func:
            return call(depth + 1);
        case Tok::LBrace:
            return arrayConstant();
        default:
            return fail(QStringLiteral("unexpected token at %1").arg(t.start));
        }
    }

    // {1,2;3,4}: constants only, columns split by commas and rows by semicolons.
    bool arrayConstant()
    {
        advance();
        auto arr = std::make_shared<ArrayValue>();
        int cur = 0;
        for (;;) {
            bool negative = false;
            if (isOp("-") || isOp("+")) {
                negative = isOp("-");
                advance();
            }
            Value v;
            switch (m_tok.kind) {
            case Tok::Number: v = Value::fromNumber(negative ? -m_tok.number : m_tok.number); break;
            case Tok::String: v = Value::fromText(m_tok.text); break;
            case Tok::Bool: v = Value::fromBool(m_tok.number != 0); break;
            case Tok::Error: v = Value::fromError(m_tok.error); break;
            default: return fail(QStringLiteral("bad array constant"));
            }
            if (negative && v.type != ValueType::Number)
                return fail(QStringLiteral("bad array constant"));
            if (arr->items.size() >= 10000)
                return fail(QStringLiteral("array constant too large"));
            arr->items.push_back(v);
            ++cur;
            advance();
            if (m_tok.kind == Tok::Comma) {
                advance();
                continue;
            }
            if (m_tok.kind != Tok::Semicolon && m_tok.kind != Tok::RBrace)
                return fail(QStringLiteral("bad array constant"));
            if (arr->cols == 0)
                arr->cols = cur;
            else if (cur != arr->cols)
                return fail(QStringLiteral("array rows differ in length"));
            ++arr->rows;
            cur = 0;
            const bool end = m_tok.kind == Tok::RBrace;
            advance();
            if (end)
                break;
        }
        m_f.arrays.push_back(std::move(arr));
        put(Op::Array, int(m_f.arrays.size() - 1), 0, 1);
        return true;
    }

    // One argument; an empty one (",," or "(,") is a missing argument.
    bool argument(int depth)
    {
        if (m_tok.kind == Tok::Comma || m_tok.kind == Tok::RParen) {
            put(Op::Missing, 0, 0, 1);
            return true;
        }
        return comparison(depth);
    }

    bool call(int depth)
    {
        if (depth > MaxDepth)
            return fail(QStringLiteral("nested too deeply"));
        const QString name = m_tok.text;
        advance();
        const int id = functionId(name);
        if (id == FnIf || id == FnIfError)
            return conditional(id, depth);
        int argc = 0;
        if (m_tok.kind == Tok::RParen) {
            advance();
        } else {
            for (;;) {
                if (!argument(depth))
                    return false;
                ++argc;
                if (argc > 255)
                    return fail(QStringLiteral("too many arguments"));
                if (m_tok.kind == Tok::Comma) {
                    advance();
                    continue;
                }
                if (m_tok.kind != Tok::RParen)
                    return fail(QStringLiteral("missing )"));
                advance();
                break;
            }
        }
        if (id < 0 || argc < functionInfo(id).minArgs || argc > functionInfo(id).maxArgs) {
            // Unknown function or wrong argument count: the arguments are dropped for #NAME?.
            put(Op::Err, int(id < 0 ? CellError::Name : CellError::Value), 0, 1 - argc);
            // keep the stack balanced: the arguments were pushed, the call leaves one value
            m_f.code.back().op = Op::Call;
            m_f.code.back().a = -1 - int(id < 0 ? CellError::Name : CellError::Value);
            m_f.code.back().argc = std::uint8_t(argc);
            return true;
        }
        put(Op::Call, id, argc, 1 - argc);
        return true;
    }

    // IF(c, a, b) and IFERROR(x, y) evaluate only the branch they need.
    bool conditional(int id, int depth)
    {
        if (!argument(depth))
            return false;
        if (id == FnIfError) {
            if (m_tok.kind != Tok::Comma)
                return fail(QStringLiteral("IFERROR needs two arguments"));
            advance();
            const int jump = int(m_f.code.size());
            put(Op::JumpNotError, 0, 0, -1);
            if (!argument(depth))
                return false;
            if (m_tok.kind != Tok::RParen)
                return fail(QStringLiteral("missing )"));
            advance();
            m_f.code[jump].a = int(m_f.code.size());
            return true;
        }
        const int jf = int(m_f.code.size());
        put(Op::JumpFalse, 0, 0, -1);
        if (m_tok.kind == Tok::RParen) {
            // IF(c) is no valid call
            return fail(QStringLiteral("IF needs two arguments"));
        }
        if (m_tok.kind != Tok::Comma)
            return fail(QStringLiteral("missing ,"));
        advance();
        if (!argument(depth))
            return false;
        const int j = int(m_f.code.size());
        put(Op::Jump, 0, 0, -1);
        m_f.code[jf].a = int(m_f.code.size());
        if (m_tok.kind == Tok::Comma) {
            advance();
            if (!argument(depth))
                return false;
        } else {
            put(Op::Bool, 0, 0, 1);
        }
        if (m_tok.kind != Tok::RParen)
            return fail(QStringLiteral("missing )"));
        advance();
        m_f.code[j].a = int(m_f.code.size());
        return true;
    }

    Lexer m_lex;
    Token m_tok;
    ParsedFormula m_f;
    int m_depth = 0;
    int m_max = 0;
};

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

ParsedFormula parseFormula(const QString &text)
{
    if (text.size() > MaxFormulaLength) {
        ParsedFormula bad;
        bad.error = CellError::Name;
        bad.message = QStringLiteral("formula too long");
        bad.code.push_back({Op::Err, 0, int(CellError::Name)});
        bad.maxStack = 1;
        return bad;
    }
    return Parser(text).run();
}

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

int functionId(const QString &upperName)
{
    static const QHash<QString, int> ids = [] {
        QHash<QString, int> h;
        for (int i = 0; i < FnCount_; ++i)
            h.insert(QLatin1String(kFunctions[i].name), i);
        return h;
    }();
    return ids.value(upperName, -1);
}

const FunctionInfo &functionInfo(int id)
{
    return kFunctions[id];
}

int functionCount()
{
    return FnCount_;
}

} // namespace lw
