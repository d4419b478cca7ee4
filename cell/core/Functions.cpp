// SPDX-License-Identifier: GPL-3.0-or-later
#include "Functions.h"
#include "CellFormat.h"
#include "FunctionSupport.h"

#include <algorithm>
#include <cmath>

namespace lw {

using namespace fn;

namespace {

// Aggregates of SUM, MAX, MIN, COUNT: references count only their numbers.
enum class Agg { Sum, Max, Min, Count, CountA, Average };

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
    case Agg::Average: return count ? Value::fromNumber(sum / double(count)) : Value::fromError(CellError::Div0);
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
    case FnCountIf: out = countIf(args, argc, ctx); break;
    case FnSumProduct: out = sumProduct(args, argc, ctx); break;
    case FnIndex: out = index(args, argc, ctx); break;
    case FnMatch: out = match(args, argc, ctx); break;
    case FnAverage: out = aggregate(Agg::Average, args, argc); break;
    case FnMod: {
        double d = 0;
        if (!argNumber(args[0], ctx, &x, &err) || !argNumber(args[1], ctx, &d, &err)) {
            out = Value::fromError(err);
            break;
        }
        if (d == 0) {
            out = Value::fromError(CellError::Div0);
            break;
        }
        // The result takes the divisor's sign, as in Excel.
        const double m = x - d * std::floor(x / d);
        out = Value::fromNumber(nearlyEqual(m, d) ? 0 : m);
        break;
    }
    case FnIsText: out = Value::fromBool(argValue(args[0], ctx).type == ValueType::Text); break;
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
            if (all.size() > MaxTextLength) {
                out = Value::fromError(CellError::Value);
                break;
            }
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
    case FnIf: case FnIfError: case FnIfNa: case FnCount_:
        out = Value::fromError(CellError::Value); // compiled as jumps, never called
        break;
    }
    Slot &r = args[0];
    r.kind = Slot::Val;
    r.v = std::move(out);
}

} // namespace lw
