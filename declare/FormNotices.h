// SPDX-License-Identifier: GPL-3.0-or-later
// The notes the declaration window shows in its status bar: the tax regime the forms compute and
// the investors' shares. They inform; they never block a load, save or upload.
#pragma once

#include <QDate>
#include <QString>

namespace lw {

class TCell;

// The forms compute the 2011-09-01 to 2018-09-30 regime (five-level table, 3 500 a month).
QDate RegimeStart();
QDate RegimeEnd();

// Empty when the period lies wholly inside the regime or is not a valid period.
QString RegimeNotice(const QDate &start, const QDate &end);

// The 分配比例 (column 4 of sheet 1) of the rows firstRow…lastRow that carry an investor code.
double InvestorShareSum(TCell &cell, int firstRow, int lastRow);
// Empty when the sum is 100 to two decimals.
QString ShareNotice(double sum);

} // namespace lw
