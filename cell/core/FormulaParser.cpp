// SPDX-License-Identifier: GPL-3.0-or-later
#include "Formula.h"
#include "FormulaLexer.h"
#include "Functions.h"

#include <QHash>

namespace lw {

namespace {

using namespace formula;

constexpr int MaxDepth = 100; // nesting of parentheses and function calls

const FunctionInfo kFunctions[FnCount_] = {
    {"SUM", 1, 255}, {"ROUND", 2, 2}, {"ROUNDUP", 2, 2}, {"ROUNDDOWN", 2, 2}, {"INT", 1, 1},
    {"ABS", 1, 1}, {"MAX", 1, 255}, {"MIN", 1, 255}, {"IF", 1, 3}, {"AND", 1, 255},
    {"OR", 1, 255}, {"NOT", 1, 1}, {"IFERROR", 2, 2}, {"LOOKUP", 2, 3}, {"VLOOKUP", 3, 4},
    {"COUNT", 1, 255}, {"COUNTA", 1, 255}, {"SUMIF", 2, 3}, {"LEFT", 1, 2}, {"RIGHT", 1, 2},
    {"MID", 3, 3}, {"LEN", 1, 1}, {"TEXT", 2, 2}, {"VALUE", 1, 1}, {"YEAR", 1, 1},
    {"MONTH", 1, 1}, {"DAY", 1, 1}, {"DATE", 3, 3}, {"CONCATENATE", 1, 255},
    {"ISBLANK", 1, 1}, {"ISNUMBER", 1, 1}, {"ISERROR", 1, 1}, {"TRIM", 1, 1},
    {"COUNTIF", 2, 2}, {"AVERAGE", 1, 255}, {"MOD", 2, 2}, {"SUMPRODUCT", 1, 255}, {"INDEX", 2, 3},
    {"MATCH", 2, 3}, {"ISTEXT", 1, 1}, {"IFNA", 2, 2},
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
        case Tok::Name: {
            RefSpec r;
            r.name = t.text;
            m_f.refs.push_back(r);
            put(Op::Ref, int(m_f.refs.size() - 1), 0, 1);
            advance();
            return true;
        }
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
        if (id == FnIf || id == FnIfError || id == FnIfNa)
            return conditional(id, depth);
        if ((name == QLatin1String("TRUE") || name == QLatin1String("FALSE")) && m_tok.kind == Tok::RParen) {
            advance();
            put(Op::Bool, name == QLatin1String("TRUE") ? 1 : 0, 0, 1);
            return true;
        }
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
        if (id == FnIfError || id == FnIfNa) {
            if (m_tok.kind != Tok::Comma)
                return fail(QStringLiteral("IFERROR needs two arguments"));
            advance();
            const int jump = int(m_f.code.size());
            put(Op::JumpNotError, 0, id == FnIfNa ? 1 : 0, -1); // argc 1: only #N/A is caught
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
