// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Excel-syntax fragments of the five-level table for business income (个人所得税税率表二).
// Each takes the expression of the taxable income x and returns an expression without '='.
namespace tax {

std::string rate(const std::string &x);         // fraction: 0.05 … 0.35; 0 when x <= 0
std::string quickDeduction(const std::string &x);
std::string tax(const std::string &x, const std::string &rate, const std::string &quick);

} // namespace tax
