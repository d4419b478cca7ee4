// SPDX-License-Identifier: GPL-3.0-or-later
// Argument helpers shared by the built-in functions (internal to the engine).
#pragma once

#include "Engine.h"

namespace lw::fn {

inline const Value kEmpty;

// The scalar of an argument; a range of more than one cell is #VALUE!.
inline Value argValue(const Slot &s, EvalContext &ctx)
{
    return ctx.engine->deref(s);
}

inline bool argNumber(const Slot &s, EvalContext &ctx, double *out, CellError *err)
{
    return toNumber(argValue(s, ctx), out, err);
}

inline bool argText(const Slot &s, EvalContext &ctx, QString *out, CellError *err)
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
        f(Value::fromError(r->error), true);
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

inline const Value &valueAt(const LinkedRef &r, int col, int row)
{
    const Cell *c = r.sheet ? r.sheet->find(col, row) : nullptr;
    return c ? c->value : kEmpty;
}

// Lookups and conditional sums, in FunctionsLookup.cpp.
Value sumIf(Slot *args, int argc, EvalContext &ctx);
Value countIf(Slot *args, int argc, EvalContext &ctx);
Value sumProduct(Slot *args, int argc, EvalContext &ctx);
Value index(Slot *args, int argc, EvalContext &ctx);
Value match(Slot *args, int argc, EvalContext &ctx);
Value vlookup(Slot *args, int argc, EvalContext &ctx);
Value lookup(Slot *args, int argc, EvalContext &ctx);

} // namespace lw::fn
