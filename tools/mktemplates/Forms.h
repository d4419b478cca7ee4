// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FormBook.h"

#include <cstdio>
#include <exception>
#include <string>

// One builder per template; each writes RPT/<name>.xlsx and, if the form has one, its mapping
// table DATA/<table>.tsv.
bool buildQuarterly(const std::string &rpt, const std::string &data);     // yjbb.xlsx, wa_yjsheet
bool buildLiquidation(const std::string &rpt, const std::string &data);   // qsbb.xlsx, wa_qssheet
bool buildConsolidated(const std::string &rpt, const std::string &data);  // hzsbb.xlsx, wa_hzsheet
bool buildAnnualAudit(const std::string &rpt, const std::string &data);   // czzs.xlsx, wa_czzssheet
bool buildAnnualDeemed(const std::string &rpt, const std::string &data);  // hdzs.xlsx, wa_hdzssheet
bool buildPartnerList(const std::string &rpt, const std::string &data);   // hhqymx.xlsx, wa_hhqymx
bool buildLossLedger(const std::string &rpt);                             // mbkstz.xlsx

// Shared blocks (Forms.cpp).
namespace block {

extern const char *const kUnit;        // 金额单位：人民币元（列至角分）
extern const char *const kMainSheet;   // name of sheet 0 of the enterprise forms
extern const char *const kInvestorSheet;
extern const char *const kLegalPerson; // wa_tzzxz name of nature 02: pays no individual income tax

inline std::string s(int n) { return std::to_string(n); }

// Runs one form's builder; a failure (an exception from the workbook layer) is reported by form.
template <typename F> bool guarded(const char *form, F build)
{
    try {
        return build();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "mktemplates: %s: %s\n", form, e.what());
        return false;
    }
}

// Rows 1–7 of sheet 0 of the quarterly and annual forms: title, period, enterprise, column heads.
enum class HeaderKind { Quarterly, AnnualAudit, AnnualDeemed };
void enterpriseHeader(FormSheet &s, const std::string &title, HeaderKind kind, const std::string &investorCount);

// Signature and acceptance block starting at firstRow across columns 1..lastCol; returns next row.
int declaration(FormSheet &s, int firstRow, int lastCol);

// "IF(<no investor code>,"",expr)": a row without an investor code computes nothing, whatever
// else is typed in it, so it cannot reach a total.
std::string investorRow(int row, const std::string &expr);

// "IF(<legal-person partner>,0,expr)": such a partner pays enterprise income tax on its share,
// so its individual income tax figures are 0.
std::string naturalOnly(int row, const std::string &expr);

// One numbered line of the enterprise part: caption in A:B, 行次 in C, note in E:F.
void line(FormSheet &s, int row, const std::string &caption, const std::string &lineNo,
          const std::string &note = {});

} // namespace block
