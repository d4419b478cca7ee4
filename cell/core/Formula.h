// SPDX-License-Identifier: GPL-3.0-or-later
// Formulas in Excel syntax: the lexer (also used to shift shared formulas) and the parser that
// turns a formula once into compact stack code with symbolic references.
#pragma once

#include "Value.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace lw {

enum class Op : std::uint8_t {
    Num, Str, Bool, Err, Missing, // constants; a = index or value
    Ref,                          // a = reference index
    Array,                        // a = array constant index
    Add, Sub, Mul, Div, Pow, Cat, Eq, Ne, Lt, Le, Gt, Ge,
    Neg, Pct,
    Call,      // a = function id, argc = argument count
    JumpFalse, // pops the condition; a = target
    Jump,      // a = target
    JumpNotError, // IFERROR (IFNA with argc 1): keeps a value it need not replace and jumps, else pops it
};

struct Instr
{
    Op op;
    std::uint8_t argc = 0;
    std::int32_t a = 0;
};

// A reference as written: the sheet by name (empty = the formula's own sheet), a rectangle.
struct RefSpec
{
    QString sheet;
    bool hasSheet = false;
    bool range = false;
    int col1 = 0, row1 = 0, col2 = 0, row2 = 0;
    bool bad = false; // #REF! written in the formula or off the grid
    QString name;     // a defined name, resolved when the formula is bound
};

// An array constant such as {0.05,0.1;0.2,0.3}, or the result of arithmetic on arrays.
struct ArrayValue
{
    int rows = 0;
    int cols = 0;
    std::vector<Value> items; // row-major
    const Value &at(int row, int col) const { return items[size_t(row) * size_t(cols) + size_t(col)]; }
};

struct ParsedFormula
{
    std::vector<Instr> code;
    std::vector<double> numbers;
    std::vector<QString> strings;
    std::vector<RefSpec> refs;
    std::vector<std::shared_ptr<const ArrayValue>> arrays;
    int maxStack = 0;
    CellError error = CellError::None; // set when the text is no valid formula
    QString message;
};

// Parses formula text (without a leading '='). Never throws; a syntax error leaves
// error = #NAME? and a message. Nesting is bounded.
ParsedFormula parseFormula(const QString &text);

// Moves the relative parts of every reference by (dcol, drow), as a shared formula is copied
// from its master cell; a reference pushed off the grid becomes #REF!.
QString shiftFormula(const QString &text, int dcol, int drow);

// "A1" / "$B$12" -> col, row (1-based); false for anything else.
bool parseCellAddress(const QString &text, int *col, int *row);
// "A1:C3" or "A1" -> range; false for anything else.
bool parseRangeAddress(const QString &text, int *col1, int *row1, int *col2, int *row2);

// Function table shared by parser and evaluator.
int functionId(const QString &upperName); // -1 when unknown
struct FunctionInfo
{
    const char *name;
    int minArgs;
    int maxArgs;
};
const FunctionInfo &functionInfo(int id);
int functionCount();

} // namespace lw
