// SPDX-License-Identifier: GPL-3.0-or-later
// mktemplates ROOT: writes ROOT/rpt/*.xlsx and ROOT/db/data/wa_*.tsv.
#include "Forms.h"

#include <clocale>
#include <cstdio>
#include <string>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mktemplates SOURCE_ROOT\n");
        return 2;
    }
    std::setlocale(LC_NUMERIC, "C"); // libxlsxwriter formats numbers with the C locale's point
    const std::string root = argv[1];
    const std::string rpt = root + "/rpt", data = root + "/db/data";
    bool ok = true;
    ok &= buildQuarterly(rpt, data);
    ok &= buildLiquidation(rpt, data);
    ok &= buildConsolidated(rpt, data);
    ok &= buildAnnualAudit(rpt, data);
    ok &= buildAnnualDeemed(rpt, data);
    ok &= buildPartnerList(rpt, data);
    ok &= buildLossLedger(rpt);
    return ok ? 0 : 1;
}
