// SPDX-License-Identifier: GPL-3.0-or-later
#include "Engine.h"
#include "CellFormat.h"
#include "Functions.h"

#include <algorithm>
#include <cmath>

namespace lw {

namespace {

// Makes a slot a plain value of a type, dropping an array or text it held.
inline Value &reuse(Slot &s, ValueType type)
{
    if (s.array)
        s.array.reset();
    s.kind = Slot::Val;
    s.v.type = type;
    if (!s.v.text.isNull())
        s.v.text = QString();
    return s.v;
}

inline void setNumber(Slot &s, double n)
{
    reuse(s, ValueType::Number).number = n;
}

inline void setError(Slot &s, CellError e)
{
    reuse(s, ValueType::Error).error = e;
}

inline void setBool(Slot &s, bool b)
{
    reuse(s, ValueType::Bool).number = b ? 1 : 0;
}

// Reads a slot as a scalar without copying the text of a referenced cell.
inline const Value &scalar(const Slot &s, Value &tmp)
{
    static const Value empty;
    if (s.kind == Slot::Val)
        return s.v;
    if (s.kind == Slot::Missing)
        return empty;
    if (s.kind == Slot::Array) // a single value is wanted: the array's first
        return s.array && !s.array->items.empty() ? s.array->items.front() : empty;
    const LinkedRef *r = s.ref;
    if (!r->sheet) {
        tmp = Value::fromError(r->error);
        return tmp;
    }
    if (!r->range)
        return r->cell->value;
    if (r->rect.col1 == r->rect.col2 && r->rect.row1 == r->rect.row2)
        return r->cells.empty() ? empty : r->cells.front()->value;
    tmp = Value::fromError(CellError::Value);
    return tmp;
}

// One arithmetic operation; None or the error it gives. Excel drops the binary noise left when
// equal amounts cancel out, but only in a formula's final addition or subtraction.
inline CellError arith(Op op, double x, double y, double *out, bool final = false)
{
    double z = 0;
    switch (op) {
    case Op::Add:
    case Op::Sub:
        z = op == Op::Add ? x + y : x - y;
        if (final && z != 0 && std::fabs(z) <= std::max(std::fabs(x), std::fabs(y)) * 1e-15)
            z = 0;
        break;
    case Op::Mul: z = x * y; break;
    case Op::Div:
        if (y == 0)
            return CellError::Div0;
        z = x / y;
        break;
    default:
        if (x == 0 && y == 0)
            return CellError::Num;
        if (x == 0 && y < 0)
            return CellError::Div0;
        z = std::pow(x, y);
        break;
    }
    if (!std::isfinite(z))
        return CellError::Num;
    *out = z;
    return CellError::None;
}

inline bool comparison(Op op, int c)
{
    switch (op) {
    case Op::Eq: return c == 0;
    case Op::Ne: return c != 0;
    case Op::Lt: return c < 0;
    case Op::Le: return c <= 0;
    case Op::Gt: return c > 0;
    default: return c >= 0;
    }
}

// A range of more than one cell in arithmetic is taken as an array of its values, as in
// SUMPRODUCT((A1:A9>0)*B1:B9); a whole column stops at the sheet's last used row.
inline bool isRangeOperand(const Slot &s)
{
    return s.kind == Slot::Ref && s.ref->range && s.ref->sheet
        && (s.ref->rect.col1 != s.ref->rect.col2 || s.ref->rect.row1 != s.ref->rect.row2);
}

constexpr qint64 MaxArrayCells = 1000000;
// Array elements one recalculation may build, so that a hostile file cannot stall it (the forms
// build a few thousand; two million take about a second under the sanitizers).
constexpr qint64 ArrayBudget = 2000000;
thread_local qint64 t_arrayBudget = ArrayBudget;

bool takeArrayBudget(qint64 cells)
{
    t_arrayBudget -= cells;
    return t_arrayBudget >= 0;
}

void rangeToArray(Slot &s)
{
    const LinkedRef &r = *s.ref;
    const int row2 = std::min(r.rect.row2, std::max(r.rect.row1, r.sheet->maxRow()));
    const int col2 = std::min(r.rect.col2, std::max(r.rect.col1, r.sheet->maxCol()));
    auto out = std::make_shared<ArrayValue>();
    const qint64 cells = qint64(row2 - r.rect.row1 + 1) * (col2 - r.rect.col1 + 1);
    if (cells > MaxArrayCells || !takeArrayBudget(cells)) {
        out->rows = out->cols = 1;
        out->items.push_back(Value::fromError(CellError::Num));
    } else {
        out->rows = row2 - r.rect.row1 + 1;
        out->cols = col2 - r.rect.col1 + 1;
        out->items.resize(size_t(out->rows) * size_t(out->cols));
        for (const Cell *c : r.cells)
            if (c->row <= row2 && c->col <= col2)
                out->items[size_t(c->row - r.rect.row1) * size_t(out->cols) + size_t(c->col - r.rect.col1)] = c->value;
    }
    s.kind = Slot::Array;
    s.array = std::move(out);
}

// Element-wise over arrays: a single row or column stretches, other gaps are #N/A.
void arrayBinary(Op op, Slot &l, Slot &r)
{
    if (isRangeOperand(l))
        rangeToArray(l);
    if (isRangeOperand(r))
        rangeToArray(r);
    Value ta, tb;
    auto dims = [](const Slot &s, int *rows, int *cols) {
        if (s.kind == Slot::Array && s.array) {
            *rows = s.array->rows;
            *cols = s.array->cols;
        } else {
            *rows = *cols = 1;
        }
    };
    int ra, ca, rb, cb;
    dims(l, &ra, &ca);
    dims(r, &rb, &cb);
    auto out = std::make_shared<ArrayValue>();
    out->rows = std::max(ra, rb);
    out->cols = std::max(ca, cb);
    if (!takeArrayBudget(qint64(out->rows) * out->cols)) {
        out->rows = out->cols = 1;
        out->items.push_back(Value::fromError(CellError::Num));
        l.kind = Slot::Array;
        l.array = std::move(out);
        return;
    }
    out->items.reserve(size_t(out->rows) * size_t(out->cols));
    auto at = [&](const Slot &s, int rows, int cols, int i, int j, Value &tmp) -> const Value & {
        if (s.kind != Slot::Array || !s.array)
            return scalar(s, tmp);
        const int ii = rows == 1 ? 0 : i, jj = cols == 1 ? 0 : j;
        if (ii >= rows || jj >= cols) {
            tmp = Value::fromError(CellError::NA);
            return tmp;
        }
        return s.array->at(ii, jj);
    };
    for (int i = 0; i < out->rows; ++i)
        for (int j = 0; j < out->cols; ++j)
            out->items.push_back(applyBinary(op, at(l, ra, ca, i, j, ta), at(r, rb, cb, i, j, tb)));
    l.kind = Slot::Array;
    l.array = std::move(out);
}

} // namespace

Value applyBinary(Op op, const Value &a, const Value &b)
{
    if (op == Op::Cat || (op >= Op::Eq && op <= Op::Ge)) {
        if (a.isError() || b.isError())
            return Value::fromError(a.isError() ? a.error : b.error);
        if (op == Op::Cat) {
            QString t = valueToText(a) + valueToText(b);
            return t.size() > MaxTextLength ? Value::fromError(CellError::Value) : Value::fromText(t);
        }
        return Value::fromBool(comparison(op, compareValues(a, b)));
    }
    double x = 0, y = 0, z = 0;
    CellError err = CellError::None;
    if (!toNumber(a, &x, &err) || !toNumber(b, &y, &err))
        return Value::fromError(err);
    err = arith(op, x, y, &z);
    return err == CellError::None ? Value::fromNumber(z) : Value::fromError(err);
}

bool nearlyEqual(double a, double b)
{
    if (a == b)
        return true;
    return std::fabs(a - b) <= std::max(std::fabs(a), std::fabs(b)) * 1e-15;
}

bool toNumber(const Value &v, double *out, CellError *err)
{
    switch (v.type) {
    case ValueType::Empty: *out = 0; return true;
    case ValueType::Number:
    case ValueType::Bool: *out = v.number; return true;
    case ValueType::Text:
        if (parseNumericText(v.text, out))
            return true;
        *err = CellError::Value;
        return false;
    case ValueType::Error: *err = v.error; return false;
    }
    return false;
}

bool toBool(const Value &v, bool *out, CellError *err)
{
    switch (v.type) {
    case ValueType::Empty: *out = false; return true;
    case ValueType::Number:
    case ValueType::Bool: *out = v.number != 0; return true;
    case ValueType::Text:
        if (v.text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0) { *out = true; return true; }
        if (v.text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) { *out = false; return true; }
        *err = CellError::Value;
        return false;
    case ValueType::Error: *err = v.error; return false;
    }
    return false;
}

bool toText(const Value &v, QString *out, CellError *err)
{
    if (v.type == ValueType::Error) {
        *err = v.error;
        return false;
    }
    *out = valueToText(v);
    return true;
}

int compareValues(const Value &a, const Value &b)
{
    auto rank = [](ValueType t) { return t == ValueType::Number ? 0 : t == ValueType::Text ? 1 : 2; };
    if (a.isEmpty() && b.isEmpty())
        return 0;
    ValueType ta = a.type, tb = b.type;
    if (a.isEmpty())
        ta = tb;
    if (b.isEmpty())
        tb = ta;
    if (ta != tb)
        return rank(ta) < rank(tb) ? -1 : 1;
    if (ta == ValueType::Text) {
        const int c = QString::compare(a.isEmpty() ? QString() : a.text, b.isEmpty() ? QString() : b.text,
                                       Qt::CaseInsensitive);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    const double x = a.isEmpty() ? 0 : a.number, y = b.isEmpty() ? 0 : b.number;
    if (ta == ValueType::Number && nearlyEqual(x, y))
        return 0;
    return x < y ? -1 : x > y ? 1 : 0;
}

Engine::Engine(Workbook &book) : m_book(book) {}
Engine::~Engine() = default;

void Engine::clear()
{
    m_entries.clear();
    m_free.clear();
    m_order.clear();
    m_linked = false;
}

int Engine::setFormula(Cell &cell, int sheet, const QString &text)
{
    int index = cell.formula;
    if (index < 0) {
        if (!m_free.empty()) {
            index = m_free.back();
            m_free.pop_back();
        } else {
            index = int(m_entries.size());
            m_entries.emplace_back();
        }
    }
    FormulaEntry &e = m_entries[index];
    e.cell = &cell;
    e.sheet = sheet;
    e.text = text;
    e.parsed = parseFormula(text);
    e.links.clear();
    e.cyclic = false;
    cell.formula = index;
    m_linked = false;
    return index;
}

void Engine::removeFormula(Cell &cell)
{
    if (cell.formula < 0)
        return;
    FormulaEntry &e = m_entries[cell.formula];
    e = FormulaEntry();
    m_free.push_back(cell.formula);
    cell.formula = -1;
    m_linked = false;
}

const CellFormat &Engine::format(const QString &code)
{
    auto it = m_formats.find(code);
    if (it == m_formats.end()) {
        if (m_formats.size() > 256)
            m_formats.clear();
        it = m_formats.insert(code, std::make_shared<CellFormat>(code));
    }
    return *it.value();
}

Value Engine::deref(const Slot &s) const
{
    Value tmp;
    return scalar(s, tmp);
}

void Engine::recalculate()
{
    if (!m_linked)
        link();
    t_arrayBudget = ArrayBudget;
    for (int i : m_order) {
        FormulaEntry &e = m_entries[i];
        if (e.cyclic)
            e.cell->value = Value::fromError(CellError::Ref);
        else
            e.cell->value = evaluate(e);
    }
}

Value Engine::evaluate(const FormulaEntry &e)
{
    const ParsedFormula &f = e.parsed;
    const Instr *code = f.code.data();
    const int n = int(f.code.size());
    Slot *sp = m_stack.data();
    int top = 0;
    EvalContext ctx{this};
    Value ta, tb;
    for (int pc = 0; pc < n;) {
        const Instr &in = code[pc++];
        switch (in.op) {
        case Op::Num: setNumber(sp[top++], f.numbers[in.a]); break;
        case Op::Str: {
            Slot &s = sp[top++];
            if (s.array)
                s.array.reset();
            s.kind = Slot::Val;
            s.v.type = ValueType::Text;
            s.v.text = f.strings[in.a];
            break;
        }
        case Op::Bool: setBool(sp[top++], in.a != 0); break;
        case Op::Err: setError(sp[top++], CellError(in.a)); break;
        case Op::Missing: {
            Slot &s = sp[top++];
            setNumber(s, 0);
            s.kind = Slot::Missing;
            break;
        }
        case Op::Ref: {
            Slot &s = sp[top++];
            s.kind = Slot::Ref;
            s.ref = &e.links[in.a];
            break;
        }
        case Op::Array: {
            Slot &s = sp[top++];
            s.kind = Slot::Array;
            s.array = f.arrays[in.a];
            break;
        }
        case Op::Add: case Op::Sub: case Op::Mul: case Op::Div: case Op::Pow: {
            Slot &l = sp[top - 2];
            Slot &r = sp[top - 1];
            --top;
            if (l.kind == Slot::Array || r.kind == Slot::Array || isRangeOperand(l) || isRangeOperand(r)) {
                arrayBinary(in.op, l, r);
                break;
            }
            double x = 0, y = 0, z = 0;
            CellError err = CellError::None;
            if (!toNumber(scalar(l, ta), &x, &err) || !toNumber(scalar(r, tb), &y, &err)) {
                setError(l, err);
                break;
            }
            err = arith(in.op, x, y, &z, pc == n);
            if (err != CellError::None)
                setError(l, err);
            else
                setNumber(l, z);
            break;
        }
        case Op::Cat: {
            Slot &l = sp[top - 2];
            Slot &r = sp[top - 1];
            --top;
            if (l.kind == Slot::Array || r.kind == Slot::Array || isRangeOperand(l) || isRangeOperand(r)) {
                arrayBinary(in.op, l, r);
                break;
            }
            const Value &a = scalar(l, ta);
            const Value &b = scalar(r, tb);
            if (a.isError() || b.isError()) {
                setError(l, a.isError() ? a.error : b.error);
                break;
            }
            QString s = valueToText(a) + valueToText(b);
            if (s.size() > MaxTextLength) {
                setError(l, CellError::Value);
                break;
            }
            l.kind = Slot::Val;
            l.v.type = ValueType::Text;
            l.v.text = std::move(s);
            break;
        }
        case Op::Eq: case Op::Ne: case Op::Lt: case Op::Le: case Op::Gt: case Op::Ge: {
            Slot &l = sp[top - 2];
            Slot &r = sp[top - 1];
            --top;
            if (l.kind == Slot::Array || r.kind == Slot::Array || isRangeOperand(l) || isRangeOperand(r)) {
                arrayBinary(in.op, l, r);
                break;
            }
            const Value &a = scalar(l, ta);
            const Value &b = scalar(r, tb);
            if (a.isError() || b.isError()) {
                setError(l, a.isError() ? a.error : b.error);
                break;
            }
            setBool(l, comparison(in.op, compareValues(a, b)));
            break;
        }
        case Op::Neg: case Op::Pct: {
            Slot &s = sp[top - 1];
            if (s.kind == Slot::Array || isRangeOperand(s)) {
                Slot factor;
                setNumber(factor, in.op == Op::Neg ? -1 : 0.01);
                arrayBinary(Op::Mul, s, factor);
                break;
            }
            double x = 0;
            CellError err = CellError::None;
            if (!toNumber(scalar(s, ta), &x, &err))
                setError(s, err);
            else
                setNumber(s, in.op == Op::Neg ? -x : x / 100);
            break;
        }
        case Op::Call:
            if (in.a < 0) {
                top -= in.argc;
                setError(sp[top++], CellError(-1 - in.a));
            } else {
                callFunction(in.a, sp + top - in.argc, in.argc, ctx);
                top -= in.argc - 1;
            }
            break;
        case Op::JumpFalse: {
            Slot &s = sp[--top];
            bool b = false;
            CellError err = CellError::None;
            if (!toBool(scalar(s, ta), &b, &err)) {
                // The condition's error is IF's result: skip both branches.
                setError(sp[top++], err);
                pc = code[in.a - 1].a;
                break;
            }
            if (!b)
                pc = in.a;
            break;
        }
        case Op::Jump: pc = in.a; break;
        case Op::JumpNotError: {
            const Value &v = scalar(sp[top - 1], ta);
            if (!v.isError() || (in.argc == 1 && v.error != CellError::NA))
                pc = in.a;
            else
                --top;
            break;
        }
        }
    }
    if (top < 1)
        return Value::fromError(CellError::Value);
    Slot &res = sp[top - 1];
    Value out = scalar(res, ta);
    if (out.isEmpty())
        out = Value::fromNumber(0);
    return out;
}

} // namespace lw
