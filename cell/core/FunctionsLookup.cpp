// SPDX-License-Identifier: GPL-3.0-or-later
// LOOKUP, VLOOKUP and SUMIF: matching rules and the walk over ranges and array constants.
#include "FunctionSupport.h"

#include <algorithm>
#include <cmath>

namespace lw::fn {

namespace {
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

} // namespace

namespace {
// SUMIF and COUNTIF: the cells of the range that meet the criterion, summed from the sum range
// (same shape, from its top-left) or counted.
Value conditional(Slot *args, int argc, EvalContext &ctx, bool count)
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
    Value failed;
    auto add = [&](const Cell *cell) -> bool {
        if (!c.test(cell->value))
            return true;
        if (count) {
            sum += 1;
            return true;
        }
        const Value &v = valueAt(*sumRange, sumRange->rect.col1 + cell->col - range->rect.col1,
                                 sumRange->rect.row1 + cell->row - range->rect.row1);
        if (v.isError()) {
            failed = v;
            return false;
        }
        if (v.type == ValueType::Number)
            sum += v.number;
        return true;
    };
    if (!range->range) {
        add(range->cell);
    } else {
        for (const Cell *cell : range->cells)
            if (!add(cell))
                break;
    }
    return failed.isError() ? failed : Value::fromNumber(sum);
}
} // namespace

Value sumIf(Slot *args, int argc, EvalContext &ctx)
{
    return conditional(args, argc, ctx, false);
}

Value countIf(Slot *args, int argc, EvalContext &ctx)
{
    return conditional(args, argc, ctx, true);
}

namespace {

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

} // namespace

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

Value sumProduct(Slot *args, int argc, EvalContext &ctx)
{
    Table tables[255];
    for (int i = 0; i < argc; ++i) {
        if (args[i].kind == Slot::Val || args[i].kind == Slot::Missing) {
            const Value v = argValue(args[i], ctx);
            if (v.isError())
                return v;
            return Value::fromError(CellError::Value); // only ranges and arrays multiply
        }
        if (!tableOf(args[i], &tables[i]))
            return Value::fromError(CellError::Ref);
        // The size written, not the size used: all arguments must agree on it.
        if (tables[i].ref) {
            tables[i].rows = tables[i].ref->rect.row2 - tables[i].ref->rect.row1 + 1;
            tables[i].cols = tables[i].declaredCols;
        }
        if (tables[i].rows != tables[0].rows || tables[i].cols != tables[0].cols)
            return Value::fromError(CellError::Value);
    }
    if (qint64(tables[0].rows) * tables[0].cols > 1000000)
        return Value::fromError(CellError::Num);
    double sum = 0;
    for (int r = 0; r < tables[0].rows; ++r) {
        for (int c = 0; c < tables[0].cols; ++c) {
            double product = 1;
            for (int i = 0; i < argc; ++i) {
                const Value &v = tables[i].at(r, c);
                if (v.isError())
                    return v;
                product *= v.type == ValueType::Number ? v.number : 0; // text and booleans count 0
            }
            sum += product;
        }
    }
    return Value::fromNumber(sum);
}

Value index(Slot *args, int argc, EvalContext &ctx)
{
    Table t;
    if (!tableOf(args[0], &t))
        return Value::fromError(args[0].kind == Slot::Ref ? CellError::Ref : CellError::Value);
    if (t.ref) {
        t.rows = t.ref->rect.row2 - t.ref->rect.row1 + 1;
        t.cols = t.declaredCols;
    }
    double r = 0, c = 1;
    CellError err = CellError::None;
    if (!argNumber(args[1], ctx, &r, &err) || (argc > 2 && !argNumber(args[2], ctx, &c, &err)))
        return Value::fromError(err);
    int row = int(std::trunc(r)), col = int(std::trunc(c));
    // A single row takes its one index as the column.
    if (argc == 2 && t.rows == 1) {
        col = row;
        row = 1;
    }
    if (row < 1 || col < 1)
        return Value::fromError(CellError::Value);
    if (row > t.rows || col > t.cols)
        return Value::fromError(CellError::Ref);
    return t.at(row - 1, col - 1);
}

Value match(Slot *args, int argc, EvalContext &ctx)
{
    const Value want = argValue(args[0], ctx);
    if (want.isError())
        return want;
    Table t;
    if (!tableOf(args[1], &t))
        return Value::fromError(CellError::NA);
    double type = 1;
    CellError err = CellError::None;
    if (argc > 2 && !argNumber(args[2], ctx, &type, &err))
        return Value::fromError(err);
    const bool down = t.rows >= t.cols;
    if (!down ? t.rows > 1 : t.cols > 1)
        return Value::fromError(CellError::NA);
    int found = -1;
    if (type == 0) {
        const Value key = want.isEmpty() ? Value::fromNumber(0) : want;
        t.line(down, [&](int i, const Value &v) {
            if (!matches(v, key))
                return true;
            found = i;
            return false;
        });
    } else if (type > 0) {
        found = approximate(want, t, down);
    } else {
        // Descending data: the last position whose value is not below the wanted one.
        t.line(down, [&](int i, const Value &v) {
            if (v.isEmpty() || v.isError() || (v.type == ValueType::Text) != (want.type == ValueType::Text))
                return true;
            if (compareValues(v, want) < 0)
                return false;
            found = i;
            return true;
        });
    }
    return found < 0 ? Value::fromError(CellError::NA) : Value::fromNumber(found + 1);
}

} // namespace lw::fn
