// SPDX-License-Identifier: GPL-3.0-or-later
#include "Functions.h"
#include "CellFormat.h"

#include <algorithm>
#include <cmath>

namespace lw {

namespace {

const Value kEmpty;

// The scalar of an argument; a range of more than one cell is #VALUE!.
Value argValue(const Slot &s, EvalContext &ctx)
{
    return ctx.engine->deref(s);
}

bool argNumber(const Slot &s, EvalContext &ctx, double *out, CellError *err)
{
    return toNumber(argValue(s, ctx), out, err);
}

bool argText(const Slot &s, EvalContext &ctx, QString *out, CellError *err)
{
    return toText(argValue(s, ctx), out, err);
}

// Calls f(value, fromReference) for each value an argument holds; stops when f returns false.
template <typename F>
void eachValue(const Slot &s, F &&f)
{
    if (s.kind == Slot::Val) {
        f(s.v, false);
        return;
    }
    if (s.kind == Slot::Missing) {
        f(kEmpty, false);
        return;
    }
    if (s.kind == Slot::Array) {
        // Array elements count as a range's cells do: text and booleans are skipped.
        for (const Value &v : s.array->items)
            if (!f(v, true))
                return;
        return;
    }
    const LinkedRef *r = s.ref;
    if (!r->sheet) {
        static const Value ref = Value::fromError(CellError::Ref);
        f(ref, true);
        return;
    }
    if (!r->range) {
        f(r->cell->value, true);
        return;
    }
    for (const Cell *c : r->cells)
        if (!f(c->value, true))
            return;
}

const Value &valueAt(const LinkedRef &r, int col, int row)
{
    const Cell *c = r.sheet ? r.sheet->find(col, row) : nullptr;
    return c ? c->value : kEmpty;
}

// Aggregates of SUM, MAX, MIN, COUNT: references count only their numbers.
enum class Agg { Sum, Max, Min, Count, CountA };

Value aggregate(Agg kind, Slot *args, int argc)
{
    double sum = 0, best = 0;
    long long count = 0;
    CellError err = CellError::None;
    for (int i = 0; i < argc && err == CellError::None; ++i) {
        eachValue(args[i], [&](const Value &v, bool fromRef) {
            double x = 0;
            if (kind == Agg::CountA) {
                if (!v.isEmpty() || (!fromRef && args[i].kind != Slot::Missing))
                    ++count;
                return true;
            }
            if (v.isError()) {
                if (kind != Agg::Count)
                    err = v.error;
                return kind == Agg::Count;
            }
            if (fromRef) {
                if (v.type != ValueType::Number)
                    return true;
                x = v.number;
            } else {
                CellError e = CellError::None;
                if (!toNumber(v, &x, &e)) {
                    if (kind != Agg::Count)
                        err = e;
                    return kind == Agg::Count;
                }
            }
            if (count == 0 || (kind == Agg::Max && x > best) || (kind == Agg::Min && x < best))
                best = x;
            sum += x;
            ++count;
            return true;
        });
    }
    if (err != CellError::None)
        return Value::fromError(err);
    switch (kind) {
    case Agg::Sum: return Value::fromNumber(sum);
    case Agg::Max:
    case Agg::Min: return Value::fromNumber(count ? best : 0);
    default: return Value::fromNumber(double(count));
    }
}

Value logical(bool isAnd, Slot *args, int argc)
{
    bool any = false, acc = isAnd;
    CellError err = CellError::None;
    for (int i = 0; i < argc && err == CellError::None; ++i) {
        eachValue(args[i], [&](const Value &v, bool fromRef) {
            if (v.isError()) {
                err = v.error;
                return false;
            }
            if (fromRef && (v.type == ValueType::Text || v.isEmpty()))
                return true;
            bool b = false;
            CellError e = CellError::None;
            if (!toBool(v, &b, &e)) {
                err = e;
                return false;
            }
            any = true;
            acc = isAnd ? (acc && b) : (acc || b);
            return true;
        });
    }
    if (err != CellError::None)
        return Value::fromError(err);
    if (!any)
        return Value::fromError(CellError::Value);
    return Value::fromBool(acc);
}

bool wildcardMatch(const QString &pattern, const QString &text)
{
    int p = 0, t = 0, star = -1, mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('~') && p + 1 < pattern.size()
            && QString::compare(QString(pattern[p + 1]), QString(text[t]), Qt::CaseInsensitive) == 0) {
            p += 2;
            ++t;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            star = p++;
            mark = t;
        } else if (p < pattern.size()
                   && (pattern[p] == QLatin1Char('?') || pattern[p].toCaseFolded() == text[t].toCaseFolded())) {
            ++p;
            ++t;
        } else if (star >= 0) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

bool hasWildcard(const QString &s)
{
    return s.contains(QLatin1Char('*')) || s.contains(QLatin1Char('?')) || s.contains(QLatin1Char('~'));
}

// Exact match as VLOOKUP and SUMIF see it: same type; text ignores case and honours wildcards.
bool matches(const Value &cell, const Value &want)
{
    if (want.type == ValueType::Text) {
        if (cell.type != ValueType::Text)
            return want.text.isEmpty() && cell.isEmpty();
        return hasWildcard(want.text) ? wildcardMatch(want.text, cell.text)
                                      : QString::compare(cell.text, want.text, Qt::CaseInsensitive) == 0;
    }
    if (cell.type != want.type)
        return false;
    return nearlyEqual(cell.number, want.number);
}

struct Criterion
{
    enum Kind { Eq, Ne, Lt, Le, Gt, Ge } kind = Eq;
    Value operand;

    explicit Criterion(const Value &v)
    {
        if (v.type != ValueType::Text) {
            operand = v.isEmpty() ? Value::fromNumber(0) : v;
            return;
        }
        QString s = v.text;
        static const struct { const char *op; Kind k; } ops[] = {
            {"<=", Le}, {">=", Ge}, {"<>", Ne}, {"<", Lt}, {">", Gt}, {"=", Eq}};
        for (const auto &o : ops) {
            if (s.startsWith(QLatin1String(o.op))) {
                kind = o.k;
                s = s.mid(int(qstrlen(o.op)));
                break;
            }
        }
        double n = 0;
        if (parseNumericText(s, &n))
            operand = Value::fromNumber(n);
        else if (s.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 || s.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0)
            operand = Value::fromBool(s.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0);
        else
            operand = Value::fromText(s);
    }

    bool test(const Value &cell) const
    {
        switch (kind) {
        case Eq: return matches(cell, operand);
        case Ne: return !matches(cell, operand);
        default: break;
        }
        if (cell.type != operand.type || cell.isEmpty())
            return false;
        const int c = compareValues(cell, operand);
        switch (kind) {
        case Lt: return c < 0;
        case Le: return c <= 0;
        case Gt: return c > 0;
        default: return c >= 0;
        }
    }
};

const LinkedRef *refOf(const Slot &s)
{
    return s.kind == Slot::Ref && s.ref->sheet ? s.ref : nullptr;
}

Value sumIf(Slot *args, int argc, EvalContext &ctx)
{
    const LinkedRef *range = refOf(args[0]);
    if (!range)
        return Value::fromError(args[0].kind == Slot::Ref ? CellError::Ref : CellError::Value);
    const Value crit = argValue(args[1], ctx);
    if (crit.isError())
        return crit;
    const LinkedRef *sumRange = range;
    if (argc > 2) {
        sumRange = refOf(args[2]);
        if (!sumRange)
            return Value::fromError(CellError::Value);
    }
    const Criterion c(crit);
    double sum = 0;
    auto add = [&](const Cell *cell) -> bool {
        if (!c.test(cell->value))
            return true;
        const Value &v = valueAt(*sumRange, sumRange->rect.col1 + cell->col - range->rect.col1,
                                 sumRange->rect.row1 + cell->row - range->rect.row1);
        if (v.isError())
            return false;
        if (v.type == ValueType::Number)
            sum += v.number;
        return true;
    };
    if (!range->range) {
        if (!add(range->cell))
            return Value::fromError(CellError::Value);
    } else {
        for (const Cell *cell : range->cells) {
            if (!add(cell)) {
                return valueAt(*sumRange, sumRange->rect.col1 + cell->col - range->rect.col1,
                               sumRange->rect.row1 + cell->row - range->rect.row1);
            }
        }
    }
    return Value::fromNumber(sum);
}

int clampRow(const LinkedRef &r, int row2)
{
    return std::min(row2, std::max(r.rect.row1, r.sheet->maxRow()));
}
int clampCol(const LinkedRef &r, int col2)
{
    return std::min(col2, std::max(r.rect.col1, r.sheet->maxCol()));
}

// A range or an array constant seen as a grid, 0-based; a whole-column range stops at the
// sheet's last used row.
struct Table
{
    const LinkedRef *ref = nullptr;
    const ArrayValue *arr = nullptr;
    int rows = 0, cols = 0;
    int declaredCols = 0;

    const Value &at(int r, int c) const
    {
        if (arr)
            return arr->at(r, c);
        return valueAt(*ref, ref->rect.col1 + c, ref->rect.row1 + r);
    }

    // Calls f(index, value) along the first column (down) or the first row (across), in order,
    // until f returns false. A range visits only its existing cells, so the work is bounded by
    // what the file holds, not by the size of the range written.
    template <typename F>
    void line(bool down, F &&f) const
    {
        if (arr) {
            const int n = down ? rows : cols;
            for (int i = 0; i < n; ++i)
                if (!f(i, down ? arr->at(i, 0) : arr->at(0, i)))
                    return;
            return;
        }
        if (!ref->range) {
            if (ref->cell)
                f(0, ref->cell->value);
            return;
        }
        for (const Cell *c : ref->cells) {
            if (down ? c->col != ref->rect.col1 : c->row != ref->rect.row1)
                continue;
            if (!f(down ? c->row - ref->rect.row1 : c->col - ref->rect.col1, c->value))
                return;
        }
    }
};

bool tableOf(const Slot &s, Table *t)
{
    if (s.kind == Slot::Array && s.array && !s.array->items.empty()) {
        t->arr = s.array.get();
        t->rows = t->arr->rows;
        t->cols = t->declaredCols = t->arr->cols;
        return true;
    }
    const LinkedRef *r = refOf(s);
    if (!r)
        return false;
    t->ref = r;
    t->rows = clampRow(*r, r->rect.row2) - r->rect.row1 + 1;
    t->cols = clampCol(*r, r->rect.col2) - r->rect.col1 + 1;
    t->declaredCols = r->rect.col2 - r->rect.col1 + 1;
    return true;
}

// Approximate match over sorted data: the last position whose value does not exceed the
// wanted one, among values of the wanted type.
int approximate(const Value &want, const Table &t, bool down)
{
    int best = -1;
    t.line(down, [&](int i, const Value &v) {
        if (v.isEmpty() || v.isError())
            return true;
        if ((v.type == ValueType::Text) != (want.type == ValueType::Text)
            || (v.type == ValueType::Bool) != (want.type == ValueType::Bool))
            return true;
        if (compareValues(v, want) > 0)
            return false;
        best = i;
        return true;
    });
    return best;
}

Value vlookup(Slot *args, int argc, EvalContext &ctx)
{
    const Value want = argValue(args[0], ctx);
    if (want.isError())
        return want;
    Table table;
    if (!tableOf(args[1], &table))
        return Value::fromError(args[1].kind == Slot::Ref ? CellError::Ref : CellError::NA);
    double idx = 0;
    CellError err = CellError::None;
    if (!argNumber(args[2], ctx, &idx, &err))
        return Value::fromError(err);
    bool approx = true;
    if (argc > 3 && !toBool(argValue(args[3], ctx), &approx, &err))
        return Value::fromError(err);
    const int col = int(std::trunc(idx));
    if (col < 1)
        return Value::fromError(CellError::Value);
    if (col > table.declaredCols)
        return Value::fromError(CellError::Ref);
    int found = -1;
    if (approx) {
        found = approximate(want, table, true);
    } else {
        const Value key = want.isEmpty() ? Value::fromNumber(0) : want;
        table.line(true, [&](int i, const Value &v) {
            if (!matches(v, key))
                return true;
            found = i;
            return false;
        });
    }
    if (found < 0)
        return Value::fromError(CellError::NA);
    return col - 1 < table.cols ? table.at(found, col - 1) : kEmpty;
}

Value lookup(Slot *args, int argc, EvalContext &ctx)
{
    const Value want = argValue(args[0], ctx);
    if (want.isError())
        return want;
    Table vec;
    if (!tableOf(args[1], &vec))
        return Value::fromError(CellError::NA);
    // A column (or a table taller than wide) is searched down, a row across.
    const bool byRows = vec.rows >= vec.cols;
    const int found = approximate(want, vec, byRows);
    if (found < 0)
        return Value::fromError(CellError::NA);
    if (argc > 2) {
        Table res;
        if (!tableOf(args[2], &res))
            return Value::fromError(CellError::NA);
        const bool resRows = res.rows > 1 || (res.ref && res.ref->rect.row2 > res.ref->rect.row1);
        if (resRows)
            return found < res.rows ? res.at(found, 0) : kEmpty;
        return found < res.cols ? res.at(0, found) : kEmpty;
    }
    // Array form: the result comes from the last column (or row) of the same table.
    return byRows ? vec.at(found, vec.cols - 1) : vec.at(vec.rows - 1, found);
}

double pow10(int n)
{
    static const double table[] = {1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12,
                                   1e-11, 1e-10, 1e-9, 1e-8, 1e-7, 1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1,
                                   1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    return n >= -22 && n <= 22 ? table[n + 22] : std::pow(10.0, n);
}

// floor(log10(a)) for a finite a > 0, from the binary exponent: log10 is slow on a hot path.
int decimalExponent(double a)
{
    int e2 = 0;
    std::frexp(a, &e2);
    int e10 = int(std::floor((e2 - 1) * 0.30102999566398120));
    if (pow10(e10 + 1) <= a)
        ++e10;
    else if (pow10(e10) > a)
        --e10;
    return e10;
}

// The value rounded to 15 significant digits, as Excel holds it for display and rounding.
double to15Digits(double y)
{
    const double a = std::fabs(y);
    if (a == 0 || a >= 1e15 || !std::isfinite(y))
        return y;
    const int k = 14 - decimalExponent(a);
    if (k > 300)
        return y;
    // Division by an exact power of ten keeps a result like 267.5 exact.
    const double p = pow10(k);
    return std::nearbyint(y * p) / p;
}

Value textOf(const Slot &s, EvalContext &ctx, QString *out)
{
    CellError err = CellError::None;
    if (!argText(s, ctx, out, &err))
        return Value::fromError(err);
    return Value();
}

bool intArg(const Slot &s, EvalContext &ctx, int *out, CellError *err)
{
    double d = 0;
    if (!argNumber(s, ctx, &d, err))
        return false;
    d = std::trunc(d);
    if (d > 1e9 || d < -1e9) {
        *err = CellError::Value;
        return false;
    }
    *out = int(d);
    return true;
}

} // namespace

double roundDecimal(double x, int digits, RoundMode mode)
{
    if (!std::isfinite(x) || digits > 308)
        return x;
    if (digits < -308)
        return 0;
    const double scale = pow10(std::abs(digits));
    const double y = to15Digits(digits >= 0 ? x * scale : x / scale);
    const double a = std::fabs(y);
    double r;
    switch (mode) {
    case RoundMode::Nearest: r = std::floor(a + 0.5); break;
    case RoundMode::Up: r = std::ceil(a); break;
    default: r = std::floor(a); break;
    }
    if (y < 0)
        r = -r;
    const double out = digits >= 0 ? r / scale : r * scale;
    return out == 0 ? 0 : out;
}

double roundDecimal(double x, int digits)
{
    return roundDecimal(x, digits, RoundMode::Nearest);
}

void callFunction(int id, Slot *args, int argc, EvalContext &ctx)
{
    Value out;
    CellError err = CellError::None;
    double x = 0;
    QString s;
    switch (FunctionId(id)) {
    case FnSum: out = aggregate(Agg::Sum, args, argc); break;
    case FnMax: out = aggregate(Agg::Max, args, argc); break;
    case FnMin: out = aggregate(Agg::Min, args, argc); break;
    case FnCount: out = aggregate(Agg::Count, args, argc); break;
    case FnCountA: out = aggregate(Agg::CountA, args, argc); break;
    case FnAnd: out = logical(true, args, argc); break;
    case FnOr: out = logical(false, args, argc); break;
    case FnNot: {
        bool b = false;
        out = toBool(argValue(args[0], ctx), &b, &err) ? Value::fromBool(!b) : Value::fromError(err);
        break;
    }
    case FnRound: case FnRoundUp: case FnRoundDown: {
        int d = 0;
        if (!argNumber(args[0], ctx, &x, &err) || !intArg(args[1], ctx, &d, &err)) {
            out = Value::fromError(err);
            break;
        }
        const RoundMode m = id == FnRound ? RoundMode::Nearest : id == FnRoundUp ? RoundMode::Up : RoundMode::Down;
        out = Value::fromNumber(roundDecimal(x, d, m));
        break;
    }
    case FnInt:
        out = argNumber(args[0], ctx, &x, &err) ? Value::fromNumber(std::floor(x)) : Value::fromError(err);
        break;
    case FnAbs:
        out = argNumber(args[0], ctx, &x, &err) ? Value::fromNumber(std::fabs(x)) : Value::fromError(err);
        break;
    case FnLookup: out = lookup(args, argc, ctx); break;
    case FnVLookup: out = vlookup(args, argc, ctx); break;
    case FnSumIf: out = sumIf(args, argc, ctx); break;
    case FnLeft: case FnRight: {
        int n = 1;
        out = textOf(args[0], ctx, &s);
        if (out.isError())
            break;
        if (argc > 1 && !intArg(args[1], ctx, &n, &err)) {
            out = Value::fromError(err);
            break;
        }
        if (n < 0) {
            out = Value::fromError(CellError::Value);
            break;
        }
        out = Value::fromText(id == FnLeft ? s.left(n) : s.right(n));
        break;
    }
    case FnMid: {
        int start = 0, n = 0;
        out = textOf(args[0], ctx, &s);
        if (out.isError())
            break;
        if (!intArg(args[1], ctx, &start, &err) || !intArg(args[2], ctx, &n, &err)) {
            out = Value::fromError(err);
            break;
        }
        if (start < 1 || n < 0) {
            out = Value::fromError(CellError::Value);
            break;
        }
        out = Value::fromText(s.mid(start - 1, n));
        break;
    }
    case FnLen:
        out = textOf(args[0], ctx, &s);
        if (!out.isError())
            out = Value::fromNumber(s.size());
        break;
    case FnTrim:
        out = textOf(args[0], ctx, &s);
        if (!out.isError())
            out = Value::fromText(s.simplified());
        break;
    case FnConcatenate: {
        QString all;
        for (int i = 0; i < argc; ++i) {
            out = textOf(args[i], ctx, &s);
            if (out.isError())
                break;
            all += s;
        }
        if (!out.isError())
            out = Value::fromText(all);
        break;
    }
    case FnText: {
        const Value v = argValue(args[0], ctx);
        out = textOf(args[1], ctx, &s);
        if (out.isError())
            break;
        if (v.isError()) {
            out = v;
            break;
        }
        const CellFormat &f = ctx.engine->format(s);
        double n = 0;
        if (v.type == ValueType::Number || v.isEmpty() || (v.type == ValueType::Text && parseNumericText(v.text, &n)))
            out = Value::fromText(f.format(Value::fromNumber(v.type == ValueType::Text ? n : v.number)));
        else
            out = Value::fromText(f.format(v));
        break;
    }
    case FnValue: {
        const Value v = argValue(args[0], ctx);
        if (v.type == ValueType::Bool)
            out = Value::fromError(CellError::Value);
        else
            out = toNumber(v, &x, &err) ? Value::fromNumber(x) : Value::fromError(err);
        break;
    }
    case FnYear: case FnMonth: case FnDay: {
        if (!argNumber(args[0], ctx, &x, &err)) {
            out = Value::fromError(err);
            break;
        }
        if (x < 0 || x > 2958465) {
            out = Value::fromError(CellError::Num);
            break;
        }
        int y, m, d;
        serialToDate(x, &y, &m, &d);
        out = Value::fromNumber(id == FnYear ? y : id == FnMonth ? m : d);
        break;
    }
    case FnDate: {
        int y = 0, m = 0, d = 0;
        if (!intArg(args[0], ctx, &y, &err) || !intArg(args[1], ctx, &m, &err) || !intArg(args[2], ctx, &d, &err)) {
            out = Value::fromError(err);
            break;
        }
        if (y < 0 || y > 9999) {
            out = Value::fromError(CellError::Num);
            break;
        }
        x = dateSerial(y, m, d);
        out = x < 0 || x > 2958465 ? Value::fromError(CellError::Num) : Value::fromNumber(x);
        break;
    }
    case FnIsBlank: {
        const Value v = argValue(args[0], ctx);
        out = Value::fromBool(args[0].kind == Slot::Ref && v.isEmpty());
        break;
    }
    case FnIsNumber: out = Value::fromBool(argValue(args[0], ctx).type == ValueType::Number); break;
    case FnIsError: out = Value::fromBool(argValue(args[0], ctx).isError()); break;
    case FnIf: case FnIfError: case FnCount_:
        out = Value::fromError(CellError::Value); // compiled as jumps, never called
        break;
    }
    Slot &r = args[0];
    r.kind = Slot::Val;
    r.v = std::move(out);
}

} // namespace lw
