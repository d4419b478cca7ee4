// SPDX-License-Identifier: GPL-3.0-or-later
// Recalculation: formulas parsed once, linked to cell pointers, ordered by their dependencies,
// and evaluated by a small stack machine.
#pragma once

#include "Formula.h"
#include "Workbook.h"

#include <QHash>

#include <memory>
#include <vector>

namespace lw {

class CellFormat;

// A reference bound to the model. For a range, the cells that exist in it, row-major.
struct LinkedRef
{
    Sheet *sheet = nullptr; // null: the sheet or name does not exist, see error
    CellError error = CellError::Ref;
    CellRange rect;
    Cell *cell = nullptr;   // single-cell reference
    std::vector<Cell *> cells;
    bool range = false;
};

// One value on the evaluation stack: a value, or a reference still to be read.
struct Slot
{
    enum Kind : std::uint8_t { Val, Ref, Missing, Array };
    Kind kind = Val;
    const LinkedRef *ref = nullptr;
    std::shared_ptr<const ArrayValue> array;
    Value v;
};

struct EvalContext
{
    class Engine *engine = nullptr;
};

struct FormulaEntry
{
    Cell *cell = nullptr;
    int sheet = 0;
    QString text;
    ParsedFormula parsed;
    std::vector<LinkedRef> links;
    bool cyclic = false;
};

class Engine
{
public:
    explicit Engine(Workbook &book);
    ~Engine();

    void clear();
    // Adds or replaces the formula of a cell; returns its index.
    int setFormula(Cell &cell, int sheet, const QString &text);
    void removeFormula(Cell &cell);
    const FormulaEntry &entry(int index) const { return m_entries[index]; }
    int formulaCount() const { return int(m_entries.size()); }

    // Called when a cell is created, so ranges are bound again before the next recalculation.
    void structureChanged() { m_linked = false; }

    void recalculate();

    // Used by functions.
    const CellFormat &format(const QString &code);
    Value deref(const Slot &s) const;

private:
    void link();
    void order();
    Value evaluate(const FormulaEntry &e);

    Workbook &m_book;
    std::vector<FormulaEntry> m_entries;
    std::vector<int> m_free;
    std::vector<int> m_order;
    bool m_linked = false;
    std::vector<Slot> m_stack;
    QHash<QString, std::shared_ptr<CellFormat>> m_formats;
};

// Shared helpers of the evaluator and the functions.
bool toNumber(const Value &v, double *out, CellError *err);
bool toBool(const Value &v, bool *out, CellError *err);
bool toText(const Value &v, QString *out, CellError *err);
// Excel's ordering: numbers < text < booleans; blanks as the other side's type; text ignores case.
int compareValues(const Value &a, const Value &b);
bool nearlyEqual(double a, double b);
// An operator applied to two scalars, for the element-wise arithmetic of arrays.
Value applyBinary(Op op, const Value &a, const Value &b);

} // namespace lw
