// SPDX-License-Identifier: GPL-3.0-or-later
#include "TaxFormulas.h"

namespace tax {

// Upper bounds are inclusive: 15 000 exactly is still level 1.
std::string rate(const std::string &x)
{
    return "IF(" + x + "<=0,0,IF(" + x + "<=15000,0.05,IF(" + x + "<=30000,0.1,IF(" + x + "<=60000,0.2,IF(" + x
        + "<=100000,0.3,0.35)))))";
}

std::string quickDeduction(const std::string &x)
{
    return "IF(" + x + "<=15000,0,IF(" + x + "<=30000,750,IF(" + x + "<=60000,3750,IF(" + x
        + "<=100000,9750,14750))))";
}

std::string tax(const std::string &x, const std::string &rate, const std::string &quick)
{
    return "ROUND(MAX(0," + x + "*" + rate + "-" + quick + "),2)";
}

} // namespace tax
