// SPDX-License-Identifier: GPL-3.0-or-later
// Quarterly prepayment (A表), liquidation, consolidated declaration (C表) and the list of partners
// of a partner that is itself a partnership.
#include "Forms.h"
#include "TaxFormulas.h"

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

using block::guarded;
using block::investorRow;
using block::naturalOnly;
using block::s;

namespace {

// Investor-list column headings: caption row and the 列次 row beneath it.
void headings(FormSheet &sh, int captionRow, const std::vector<std::string> &captions,
              const std::vector<std::string> &numbers)
{
    for (size_t i = 0; i < captions.size(); ++i)
        sh.label(int(i) + 1, captionRow, captions[i], Style::Head);
    for (size_t i = 0; i < numbers.size(); ++i)
        sh.label(int(i) + 1, captionRow + 1, numbers[i], Style::LineNo);
    sh.height(captionRow, 58);
    sh.height(captionRow + 1, 26);
}

} // namespace

bool buildQuarterly(const std::string &rpt, const std::string &data)
{
    return guarded("yjbb", [&] {
        FormBook book(rpt + "/yjbb.xlsx", "wa_yjsheet");
        FormSheet &m = book.addSheet(block::kMainSheet);
        FormSheet &inv = book.addSheet(block::kInvestorSheet);
        const std::string invQ = "'" + inv.name() + "'!";

        block::enterpriseHeader(m, "个人所得税生产经营所得纳税申报表（A表）", block::HeaderKind::Quarterly,
                                "COUNTA(" + invQ + "A4:A53)");
        block::line(m, 8, "一、收入总额", "1", "按成本费用核定的不填");
        m.zero(4, 8, Style::AmountInput, 2);
        block::line(m, 9, "二、成本费用", "2", "按收入总额核定的不填");
        m.zero(4, 9, Style::AmountInput, 2);
        block::line(m, 10, "三、利润总额", "3", "3＝1－2");
        m.formula(4, 10, "ROUND(D8-D9,2)", Style::Amount);
        block::line(m, 11, "四、弥补以前年度亏损", "4", "查账征收填写");
        m.zero(4, 11, Style::AmountInput, 2);
        block::line(m, 12, "七、应税所得率(%)", "7", "核定应税所得率征收填写");
        m.zero(4, 12, Style::RatioInput, 3);
        block::line(m, 13, "企业应纳税所得额", "—",
                    "查账3－4；按收入1×7；按成本2÷(1－7)×7");
        // The loaded collection code decides; a form not loaded yet (no code) goes by the lines
        // filled in: a rate means deemed collection, by income when there is income.
        const std::string by20 = "OR($F$6=20,AND($F$6<>10,$F$6<>22,$D$12>0,$D$8>0))";
        const std::string by22 = "OR($F$6=22,AND($F$6<>10,$F$6<>20,$D$12>0,$D$8<=0))";
        m.formula(4, 13,
                  "ROUND(IF(" + by20 + ",D8*D12/100,IF(" + by22 + ",IF(D12>=100,0,D9/(1-D12/100)*D12/100),D10-D11)),2)",
                  Style::Amount);
        block::line(m, 14, "投资者应纳税额合计", "—", "投资者明细第12列合计");
        m.formula(4, 14, "SUM(" + invQ + "L4:L53)", Style::Amount);
        block::line(m, 15, "投资者应补(退)税额合计", "—", "投资者明细第15列合计");
        m.formula(4, 15, "SUM(" + invQ + "O4:O53)", Style::Amount);
        block::declaration(m, 17, 6);

        // Sheet 1: one row per investor, rows 4 to 53.
        inv.widths({17, 14, 11, 9, 14, 7, 12, 12, 14, 7, 10, 13, 11, 13, 14});
        inv.merge(1, 1, 11, 1, "个人所得税生产经营所得纳税申报表（A表）投资者明细", Style::Title);
        inv.merge(12, 1, 15, 1, block::kUnit, Style::Unit);
        inv.height(1, 30);
        headings(inv, 2,
                 {"投资者税务管理码", "投资者名称", "投资者性质", "五、分配比例(%)", "分配所得（企业应纳税所得额×4）", "本年经营月份数",
                  "六、允许扣除的其他费用", "投资者减除费用", "八、应纳税所得额（核定征收＝5）", "九、税率", "十、速算扣除数",
                  "十一、应纳税额", "十二、减免税额", "十三、已预缴税额", "十四、应补(退)税额"},
                 {"1", "2", "3", "4", "5", "6", "7", "8", "9＝5－7－8", "10", "11", "12＝9×10－11", "13", "14",
                  "15＝12－13－14"});
        const std::string code = m.qualified(6, 6), rate = m.qualified(4, 12);
        const std::string audit = "OR(" + code + "=10,AND(" + code + "<>20," + code + "<>22," + rate + "<=0))";
        for (int r = 4; r <= 53; ++r) {
            const std::string n = s(r);
            inv.value(1, r, Style::Text, 1);
            inv.value(2, r, Style::Text, 1);
            inv.value(3, r, Style::Text, 1);
            inv.value(4, r, Style::RatioInput, 3);
            inv.formula(5, r, investorRow(r, "ROUND(" + m.qualified(4, 13) + "*D" + n + "/100,2)"), Style::Amount);
            inv.value(6, r, Style::CountInput, 3);
            inv.value(7, r, Style::AmountInput, 2);
            inv.value(8, r, Style::AmountInput, 2);
            // Deductions apply under audit-based collection only; rate, quick deduction and tax
            // follow a taxable income of 0 for a legal-person partner.
            inv.formula(9, r,
                        investorRow(r, naturalOnly(r, "IF(" + audit + ",ROUND(E" + n + "-G" + n + "-H" + n + ",2),E" + n + ")")),
                        Style::Amount);
            inv.formula(10, r, investorRow(r, tax::rate("I" + n)), Style::Percent);
            inv.formula(11, r, investorRow(r, tax::quickDeduction("I" + n)), Style::Amount);
            inv.formula(12, r, investorRow(r, tax::tax("I" + n, "J" + n, "K" + n)), Style::Amount);
            inv.value(13, r, Style::AmountInput, 2);
            inv.value(14, r, Style::AmountInput, 2);
            inv.formula(15, r, investorRow(r, naturalOnly(r, "ROUND(L" + n + "-M" + n + "-N" + n + ",2)")), Style::Amount);
        }
        worksheet_freeze_panes(inv.raw(), 3, 3);
        inv.titleRows(3);
        inv.landscape();
        return book.finish(data);
    });
}

bool buildLiquidation(const std::string &rpt, const std::string &data)
{
    return guarded("qsbb", [&] {
        FormBook book(rpt + "/qsbb.xlsx", "wa_qssheet");
        FormSheet &m = book.addSheet(block::kMainSheet);
        FormSheet &inv = book.addSheet(block::kInvestorSheet);
        FormSheet &assets = book.addSheet("资产处置明细表");
        FormSheet &debts = book.addSheet("负债及清算费用明细表");

        m.widths({7, 34, 18, 18, 24, 20});
        m.merge(1, 1, 6, 1, "个人独资企业和合伙企业投资者清算所得个人所得税申报表", Style::Title);
        m.height(1, 32);
        m.merge(1, 2, 2, 2, "清算所属期", Style::LabelCenter);
        m.value(3, 2, Style::Text, 1);
        m.label(4, 2, "至", Style::LabelCenter);
        m.value(5, 2, Style::Text, 1);
        m.blank(6, 2, Style::Label);
        m.merge(1, 3, 2, 3, "企业名称", Style::LabelCenter);
        m.valueMerge(3, 3, 6, 3, Style::Text, 1);
        m.merge(1, 4, 2, 4, "税务管理码", Style::LabelCenter);
        m.valueMerge(3, 4, 4, 4, Style::Text, 1);
        m.merge(5, 4, 6, 4, block::kUnit, Style::Unit);
        for (int r = 2; r <= 5; ++r)
            m.height(r, 20);
        m.label(1, 5, "行次", Style::Head);
        m.merge(2, 5, 3, 5, "项    目", Style::Head);
        m.label(4, 5, "金    额", Style::Head);
        m.merge(5, 5, 6, 5, "说    明", Style::Head);
        struct Line {
            const char *caption;
            const char *note;
        };
        const Line lines[] = {
            {"一、全部资产可变现价值或交易价格", "参照资产处置明细表“资产总计”的可变现价值"},
            {"二、清算费用", "参照负债及清算费用明细表“清算费用”"},
            {"三、清算损失", ""},
            {"四、负债清偿额", "参照负债及清算费用明细表“负债合计”"},
            {"五、以前年度留存的利润", "以前年度已纳税后留存的利润"},
            {"六、实缴资本", "投资者实际缴付的出资额"},
            {"七、清算过程中发生的相关税费", "参照负债及清算费用明细表“相关税费”"},
            {"八、扣除项目合计", "8＝2＋3＋4＋5＋6＋7"},
            {"九、清算所得", "9＝1－8"},
        };
        for (int i = 0; i < 9; ++i) {
            const int r = 6 + i;
            m.label(1, r, s(i + 1), Style::LineNo);
            m.merge(2, r, 3, r, lines[i].caption, Style::Label);
            m.merge(5, r, 6, r, lines[i].note, Style::Label);
            m.height(r, 20);
            if (r <= 12)
                m.zero(4, r, Style::AmountInput, 2);
        }
        m.formula(4, 13, "ROUND(SUM(D7:D12),2)", Style::Amount);
        m.formula(4, 14, "ROUND(D6-D13,2)", Style::Amount);
        block::declaration(m, 16, 6);

        inv.widths({17, 14, 11, 9, 14, 12, 12, 14, 7, 10, 13, 11, 12, 14});
        inv.merge(1, 1, 10, 1, "清算所得个人所得税申报表投资者明细", Style::Title);
        inv.merge(11, 1, 14, 1, block::kUnit, Style::Unit);
        inv.height(1, 30);
        headings(inv, 2,
                 {"投资者税务管理码", "投资者名称", "投资者性质", "分配比例(%)", "分得清算所得（清算所得×4）", "允许扣除的其他费用",
                  "投资者减除费用", "应纳税所得额", "税率", "速算扣除数", "应纳税额", "减免税额", "已预缴税额",
                  "应补(退)税额"},
                 {"1", "2", "3", "4", "5", "6", "7", "8＝5－6－7", "9", "10", "11＝8×9－10", "12", "13",
                  "14＝11－12－13"});
        for (int r = 4; r <= 53; ++r) {
            const std::string n = s(r);
            inv.value(1, r, Style::Text, 1);
            inv.value(2, r, Style::Text, 1);
            inv.value(3, r, Style::Text, 1);
            inv.value(4, r, Style::RatioInput, 3);
            inv.formula(5, r, investorRow(r, "ROUND(" + m.qualified(4, 14) + "*D" + n + "/100,2)"), Style::Amount);
            inv.value(6, r, Style::AmountInput, 2);
            inv.value(7, r, Style::AmountInput, 2);
            inv.formula(8, r, investorRow(r, naturalOnly(r, "ROUND(E" + n + "-F" + n + "-G" + n + ",2)")), Style::Amount);
            inv.formula(9, r, investorRow(r, tax::rate("H" + n)), Style::Percent);
            inv.formula(10, r, investorRow(r, tax::quickDeduction("H" + n)), Style::Amount);
            inv.formula(11, r, investorRow(r, tax::tax("H" + n, "I" + n, "J" + n)), Style::Amount);
            inv.value(12, r, Style::AmountInput, 2);
            inv.value(13, r, Style::AmountInput, 2);
            inv.formula(14, r, investorRow(r, naturalOnly(r, "ROUND(K" + n + "-L" + n + "-M" + n + ",2)")), Style::Amount);
        }
        worksheet_freeze_panes(inv.raw(), 3, 3);
        inv.titleRows(3);
        inv.landscape();

        // Schedules: rows of items with inputs in columns 3 to 5 and the gain or loss in column 6;
        // subtotal rows add up item rows.
        struct Item {
            const char *caption;
            std::vector<int> sumOf; // rows added up; empty for an input row
        };
        auto schedule = [&](FormSheet &sh, const std::string &title, const std::vector<std::string> &heads,
                            const std::vector<Item> &items, const std::string &gain) {
            sh.widths({6, 30, 16, 16, 18, 16});
            sh.merge(1, 1, 6, 1, title, Style::Title);
            sh.height(1, 30);
            sh.merge(1, 2, 6, 2, block::kUnit, Style::Unit);
            sh.label(1, 3, "行次", Style::Head);
            sh.label(2, 3, "项    目", Style::Head);
            for (int c = 0; c < 4; ++c)
                sh.label(3 + c, 3, heads[size_t(c)], Style::Head);
            sh.height(3, 40);
            int r = 4;
            for (const Item &it : items) {
                const std::string n = s(r);
                sh.label(1, r, s(r - 3), Style::LineNo);
                sh.label(2, r, it.caption, Style::Label);
                for (int c = 3; c <= 5; ++c) {
                    if (it.sumOf.empty()) {
                        sh.zero(c, r, Style::AmountInput, 2);
                    } else {
                        std::string f;
                        for (int x : it.sumOf)
                            f += (f.empty() ? "" : "+") + FormSheet::ref(c, x);
                        sh.formula(c, r, "ROUND(" + f + ",2)", Style::Amount);
                    }
                }
                std::string g = gain;
                for (size_t p; (p = g.find('#')) != std::string::npos;)
                    g.replace(p, 1, n);
                sh.formula(6, r, g, Style::Amount);
                ++r;
            }
        };
        auto range = [](int a, int b) {
            std::vector<int> v;
            for (int i = a; i <= b; ++i)
                v.push_back(i);
            return v;
        };
        std::vector<Item> assetItems;
        for (const char *c : {"货币资金", "交易性金融资产", "应收票据", "应收账款", "预付款项", "应收利息", "应收股利",
                              "其他应收款", "存货", "一年内到期的非流动资产", "其他流动资产"})
            assetItems.push_back({c, {}});
        assetItems.push_back({"流动资产合计", range(4, 14)});
        for (const char *c : {"可供出售金融资产", "持有至到期投资", "长期应收款", "长期股权投资", "投资性房地产", "固定资产",
                              "在建工程", "工程物资", "固定资产清理", "生产性生物资产", "油气资产", "无形资产", "开发支出",
                              "商誉", "长期待摊费用", "递延所得税资产", "其他非流动资产"})
            assetItems.push_back({c, {}});
        assetItems.push_back({"非流动资产合计", range(16, 32)});
        assetItems.push_back({"资产总计", {15, 33}});
        schedule(assets, "资产处置明细表", {"账面价值", "计税基础", "可变现价值或交易价格", "资产处置损益"}, assetItems,
                 "ROUND(E#-D#,2)");

        std::vector<Item> debtItems;
        for (const char *c : {"短期借款", "交易性金融负债", "应付票据", "应付账款", "预收款项", "应付职工薪酬", "应交税费",
                              "应付利息", "应付股利", "其他应付款", "一年内到期的非流动负债", "其他流动负债", "长期借款",
                              "应付债券", "长期应付款", "专项应付款", "预计负债", "递延所得税负债", "其他非流动负债"})
            debtItems.push_back({c, {}});
        debtItems.push_back({"负债合计", range(4, 22)});
        debtItems.push_back({"清算费用", {}});
        debtItems.push_back({"清算过程中发生的相关税费", {}});
        schedule(debts, "负债及清算费用明细表", {"账面价值", "计税基础", "实际清偿（支付）金额", "清偿损益"}, debtItems,
                 "ROUND(C#-E#,2)");
        return book.finish(data);
    });
}

bool buildConsolidated(const std::string &rpt, const std::string &data)
{
    return guarded("hzsbb", [&] {
        FormBook book(rpt + "/hzsbb.xlsx", "wa_hzsheet");
        FormSheet &m = book.addSheet(block::kMainSheet);
        m.widths({5, 14, 28, 20, 13, 18, 17});
        m.merge(1, 1, 7, 1, "个人所得税生产经营所得纳税申报表（C表）", Style::Title);
        m.height(1, 32);

        m.merge(1, 2, 2, 2, "税款所属期", Style::LabelCenter);
        m.value(3, 2, Style::Text, 1);
        m.label(4, 2, "至", Style::LabelCenter);
        m.value(5, 2, Style::Text, 1);
        m.merge(6, 2, 7, 2, block::kUnit, Style::Unit);

        m.merge(1, 3, 2, 3, "投资者姓名", Style::LabelCenter);
        m.value(3, 3, Style::Text, 1);
        m.label(4, 3, "身份证件类型", Style::LabelCenter);
        m.value(5, 3, Style::Text, 1);
        m.label(6, 3, "身份证件号码", Style::LabelCenter);
        m.value(7, 3, Style::Text, 1);

        m.merge(1, 4, 2, 4, "国籍(地区)", Style::LabelCenter);
        m.value(3, 4, Style::Text, 1);
        m.label(4, 4, "投资者税务管理码", Style::LabelCenter);
        m.value(5, 4, Style::Text, 1);
        m.blankMerge(6, 4, 7, 4, Style::Label);

        m.merge(1, 5, 2, 5, "被投资单位信息", Style::Head);
        m.label(3, 5, "被投资单位名称", Style::Head);
        m.label(4, 5, "纳税人识别号", Style::Head);
        m.label(5, 5, "分配比例(%)", Style::Head);
        m.label(6, 5, "税务管理码", Style::Head);
        m.label(7, 5, "投资者应纳税所得额", Style::Head);
        m.height(5, 30);

        m.merge(1, 6, 2, 6, "汇缴地", Style::LabelCenter);
        m.value(3, 6, Style::Text, 1);
        m.value(4, 6, Style::Text, 1);
        m.value(5, 6, Style::Ratio, 3);
        m.formula(6, 6, "IF(A24=\"\",\"\",A24)", Style::Text);
        m.zero(7, 6, Style::AmountInput, 2); // taken over from the annual settlement by the load
        m.merge(1, 7, 2, 11, "其他", Style::LabelCenter);
        for (int r = 7; r <= 11; ++r) {
            m.value(3, r, Style::TextInput, 1);
            m.value(4, r, Style::TextInput, 1);
            m.value(5, r, Style::RatioInput, 3);
            m.value(6, r, Style::TextInput, 1);
            m.value(7, r, Style::AmountInput, 2);
        }
        for (int r = 6; r <= 11; ++r)
            m.height(r, 20);

        for (int r = 2; r <= 4; ++r)
            m.height(r, 20);
        m.merge(1, 12, 5, 12, "项    目", Style::Head);
        m.merge(1, 13, 1, 23, "应纳税额计算", Style::LabelCenter);
        m.label(6, 12, "行次", Style::Head);
        m.label(7, 12, "金    额", Style::Head);
        struct Line {
            const char *caption;
            const char *formula; // nullptr: input
            Style style;
        };
        const std::string taxable = "G15";
        const std::string rate = tax::rate(taxable), quick = tax::quickDeduction(taxable);
        const std::string due = tax::tax(taxable, "G16", "G17");
        const Line lines[] = {
            // A loss of one enterprise is not offset against another's income.
            {"一、被投资单位应纳税所得额合计", "ROUND(SUMIF(G6:G11,\">0\"),2)", Style::Amount},
            {"二、应调增的投资者减除费用", nullptr, Style::AmountInput},
            {"三、调整后应纳税所得额", "ROUND(G13+G14,2)", Style::Amount},
            {"四、税率", rate.c_str(), Style::Percent},
            {"五、速算扣除数", quick.c_str(), Style::Amount},
            {"六、应纳税额", due.c_str(), Style::Amount},
            {"七、本单位经营所得占各单位经营所得总额的比重", "IF(G13=0,0,MAX(0,G6)/G13)", Style::Share},
            {"八、本单位应纳税额", "ROUND(G18*G19,2)", Style::Amount},
            {"九、减免税额", nullptr, Style::AmountInput},
            {"十、实际应纳税额", "ROUND(G20-G21,2)", Style::Amount},
            {"十一、已缴税额", nullptr, Style::AmountInput},
            {"十二、应补(退)税额", "ROUND(G22-G23,2)", Style::Amount},
        };
        for (int i = 0; i < 12; ++i) {
            const int r = 13 + i;
            m.merge(2, r, 5, r, lines[i].caption, Style::Label);
            m.label(6, r, s(i + 1), Style::LineNo);
            if (lines[i].formula)
                m.formula(7, r, lines[i].formula, lines[i].style);
            else
                m.zero(7, r, lines[i].style, 2);
            m.height(r, 20);
        }
        // The enterprise's tax management code, key of the upload document; set by the load.
        m.value(1, 24, Style::Small, 1);
        block::declaration(m, 26, 7);
        return book.finish(data);
    });
}

bool buildPartnerList(const std::string &rpt, const std::string &data)
{
    return guarded("hhqymx", [&] {
        FormBook book(rpt + "/hhqymx.xlsx", "wa_hhqymx");
        FormSheet &m = book.addSheet("合伙人为合伙企业明细表");
        m.widths({22, 17, 20, 11, 22, 14, 10, 9, 13, 9, 13, 13, 20, 14});
        m.merge(1, 1, 14, 1, "合伙人为合伙企业明细表", Style::Title);
        m.height(1, 32);
        m.label(1, 2, "税务管理码及所属期", Style::LabelCenter);
        m.height(2, 22);
        m.value(2, 2, Style::Text, 1);
        m.value(3, 2, Style::Text, 1);
        m.value(4, 2, Style::Text, 1);
        m.merge(11, 2, 14, 2, block::kUnit, Style::Unit);
        const char *heads[] = {"名称", "税务管理码", "证件号码", "投资者性质", "投资者地址", "联系方式", "出资方式",
                               "出资比例(%)", "出资金额", "分配比例(%)", "分配所得", "应纳税额", "纳税人识别号", "备注"};
        for (int c = 1; c <= 14; ++c)
            m.label(c, 3, heads[c - 1], Style::Head);
        m.height(3, 30);
        for (int r = 4; r <= 24; ++r) {
            m.value(1, r, Style::Text, 1);
            m.value(2, r, Style::Text, 1);
            m.value(3, r, Style::Text, 1);
            m.value(4, r, Style::Text, 6, "tzzxz");
            m.value(5, r, Style::Text, 1);
            m.value(6, r, Style::Text, 1);
            m.value(7, r, Style::Text, 6, "czfs");
            m.value(8, r, Style::Ratio, 3);
            m.value(9, r, Style::Amount, 2);
            m.value(10, r, Style::Ratio, 3);
            m.value(11, r, Style::AmountInput, 2);
            m.value(12, r, Style::AmountInput, 2);
            m.value(13, r, Style::TextInput, 1);
            m.value(14, r, Style::TextInput, 1);
        }
        m.merge(1, 26, 14, 26,
                "说明：本表由合伙人为合伙企业的投资者填报，逐一列示该合伙企业的合伙人；第1至10列由合伙企业明细表加载。",
                Style::Note);
        m.titleRows(3);
        m.landscape();
        return book.finish(data);
    });
}
