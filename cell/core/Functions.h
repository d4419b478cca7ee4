// SPDX-License-Identifier: GPL-3.0-or-later
// Built-in functions of the formula engine (internal to the engine).
#pragma once

#include "Engine.h"

namespace lw {

enum FunctionId : int {
    FnSum, FnRound, FnRoundUp, FnRoundDown, FnInt, FnAbs, FnMax, FnMin, FnIf, FnAnd, FnOr, FnNot,
    FnIfError, FnLookup, FnVLookup, FnCount, FnCountA, FnSumIf, FnLeft, FnRight, FnMid, FnLen,
    FnText, FnValue, FnYear, FnMonth, FnDay, FnDate, FnConcatenate, FnIsBlank, FnIsNumber,
    FnIsError, FnTrim, FnCountIf, FnAverage, FnMod, FnSumProduct, FnIndex, FnMatch, FnIsText, FnIfNa,
    FnCount_
};

// Calls function id with argc slots starting at args; the result replaces args[0].
void callFunction(int id, Slot *args, int argc, EvalContext &ctx);

// Rounds half away from zero at the given decimals, on the value's 15-digit decimal form.
double roundDecimal(double x, int digits);
enum class RoundMode { Nearest, Up, Down };
double roundDecimal(double x, int digits, RoundMode mode);

} // namespace lw
