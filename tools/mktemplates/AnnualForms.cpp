// SPDX-License-Identifier: GPL-3.0-or-later
// Annual settlement: audit-based (B表) and deemed collection, and the loss carry-forward ledger.
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

void columnHeads(FormSheet &sh, int row, const std::vector<std::string> &captions)
{
    for (size_t i = 0; i < captions.size(); ++i) {
        sh.label(int(i) + 1, row, captions[i], Style::Head);
        sh.label(int(i) + 1, row + 1, s(int(i) + 1), Style::LineNo);
    }
    sh.height(row, 58);
}

// Columns 10–19 of an annual investor row: rate, quick deduction, tax, relief (input), tax due,
// prepaid (input), tax to pay, refund, remark (input), tax to pay or refund (19 = 14 − 15).
// Rate, quick deduction and tax follow column 5, which is 0 for a legal-person partner; columns
// 14 and 19 give 0 for it whatever relief or prepayment is typed.
void annualTaxColumns(FormSheet &inv, int r)
{
    const std::string n = s(r);
    inv.formula(10, r, investorRow(r, tax::rate("E" + n)), Style::Percent);
    inv.formula(11, r, investorRow(r, tax::quickDeduction("E" + n)), Style::Amount);
    inv.formula(12, r, investorRow(r, tax::tax("E" + n, "J" + n, "K" + n)), Style::Amount);
    inv.value(13, r, Style::AmountInput, 2);
    inv.formula(14, r, investorRow(r, naturalOnly(r, "ROUND(L" + n + "-M" + n + ",2)")), Style::Amount);
    inv.value(15, r, Style::AmountInput, 2);
    inv.formula(16, r, investorRow(r, "IF(S" + n + ">0,S" + n + ",0)"), Style::Amount);
    inv.formula(17, r, investorRow(r, "IF(S" + n + "<0,-S" + n + ",0)"), Style::Amount);
    inv.value(18, r, Style::TextInput, 1);
    inv.formula(19, r, investorRow(r, naturalOnly(r, "ROUND(N" + n + "-O" + n + ",2)")), Style::Amount);
}

const std::vector<double> kInvestorWidths = {17, 14, 11, 9, 14, 14, 12, 12, 8, 7, 10, 13, 11, 13, 13, 12, 12, 12, 14};

} // namespace

bool buildAnnualAudit(const std::string &rpt, const std::string &data)
{
    return guarded("czzs", [&] {
        FormBook book(rpt + "/czzs.xlsx", "wa_czzssheet");
        FormSheet &m = book.addSheet(block::kMainSheet);
        FormSheet &inv = book.addSheet(block::kInvestorSheet);
        FormSheet &adj = book.addSheet("纳税调整项目明细表");
        FormSheet &loss = book.addSheet("弥补亏损明细表");
        FormSheet &other = book.addSheet("投资其他合伙企业情况");
        const std::string invQ = "'" + inv.name() + "'!";

        block::enterpriseHeader(m, "个人所得税生产经营所得纳税申报表（B表）", block::HeaderKind::AnnualAudit,
                                "COUNTA(" + invQ + "A5:A54)");
        // Line n of the form is row n + 7. Every amount of sheet 0 from row 8 on is stored.
        struct Line {
            const char *caption;
            const char *formula; // nullptr: input
            const char *note;
        };
        const Line lines[] = {
            {"一、收入总额", nullptr, ""},
            {"　　其中：国债利息收入", nullptr, ""},
            {"二、成本费用", "ROUND(SUM(D11:D17),2)", "3＝4＋5＋6＋7＋8＋9＋10"},
            {"　　（一）营业成本", nullptr, ""},
            {"　　（二）营业费用", nullptr, ""},
            {"　　（三）管理费用", nullptr, ""},
            {"　　（四）财务费用", nullptr, ""},
            {"　　（五）税金", nullptr, ""},
            {"　　（六）损失", nullptr, ""},
            {"　　（七）其他支出", nullptr, ""},
            {"三、利润总额", "ROUND(D8-D9-D10,2)", "11＝1－2－3"},
            {"四、纳税调整增加额", "ROUND(D20+D34,2)", "12＝13＋27"},
            {"　（一）超过规定标准的扣除项目金额", "ROUND(SUM(D21:D33),2)", "13＝14＋15＋…＋26"},
            {"　　1.职工福利费", nullptr, ""},
            {"　　2.职工教育经费", nullptr, ""},
            {"　　3.工会经费", nullptr, ""},
            {"　　4.利息支出", nullptr, ""},
            {"　　5.业务招待费", nullptr, ""},
            {"　　6.广告费和业务宣传费", nullptr, ""},
            {"　　7.教育和公益事业捐赠", nullptr, ""},
            {"　　8.住房公积金", nullptr, ""},
            {"　　9.社会保险费", nullptr, ""},
            {"　　10.折旧费用", nullptr, ""},
            {"　　11.无形资产摊销", nullptr, ""},
            {"　　12.资产损失", nullptr, ""},
            {"　　13.其他", nullptr, ""},
            {"　（二）不允许扣除的项目金额", "ROUND(SUM(D35:D43),2)", "27＝28＋29＋…＋36"},
            {"　　1.个人所得税税款", nullptr, ""},
            {"　　2.税收滞纳金", nullptr, ""},
            {"　　3.罚金、罚款和被没收财物的损失", nullptr, ""},
            {"　　4.不符合扣除规定的捐赠", nullptr, ""},
            {"　　5.赞助支出", nullptr, ""},
            {"　　6.用于个人和家庭的支出", nullptr, ""},
            {"　　7.与取得生产经营收入无关的其他支出", nullptr, ""},
            {"　　8.投资者工资薪金支出", nullptr, ""},
            {"　　9.国家税务总局规定不准扣除的支出", nullptr, ""},
            {"五、纳税调整减少额", nullptr, ""},
            {"六、纳税调整后所得", "ROUND(D18+D19-D44,2)", "38＝11＋12－37"},
            {"七、弥补以前年度亏损", nullptr, "可参照弥补亏损明细表第10列合计"},
        };
        for (int i = 0; i < 39; ++i) {
            const int r = 8 + i;
            block::line(m, r, lines[i].caption, s(i + 1), lines[i].note);
            if (lines[i].formula)
                m.formula(4, r, lines[i].formula, Style::Amount, 2);
            else
                m.zero(4, r, Style::AmountInput, 2);
        }
        // Totals of the investor part and the attached information.
        block::line(m, 47, "投资者人数", "—");
        m.formula(4, 47, "COUNTA(" + invQ + "A5:A54)", Style::Count, 2);
        const struct {
            const char *caption, *column, *note;
        } totals[] = {{"应纳税所得额合计", "E", "投资者明细第5列合计"},   {"应纳税额合计", "L", "投资者明细第12列合计"},
                      {"减免税额合计", "M", "投资者明细第13列合计"},     {"实际应纳税额合计", "N", "投资者明细第14列合计"},
                      {"已预缴税额合计", "O", "投资者明细第15列合计"},   {"应补(退)税额合计", "S", "投资者明细第19列合计"}};
        for (int i = 0; i < 6; ++i) {
            const int r = 48 + i;
            block::line(m, r, totals[i].caption, "—", totals[i].note);
            m.formula(4, r, "SUM(" + invQ + totals[i].column + "5:" + totals[i].column + "54)", Style::Amount, 2);
        }
        block::line(m, 54, "附列资料：工资总额", "附");
        m.zero(4, 54, Style::AmountInput, 2);
        block::line(m, 55, "附列资料：年平均职工人数", "附", "单位：人");
        m.zero(4, 55, Style::CountInput, 2);
        block::declaration(m, 56, 6);

        // Sheet 1: investors in rows 5 to 54.
        inv.widths(kInvestorWidths);
        inv.merge(1, 1, 15, 1, "个人所得税生产经营所得纳税申报表（B表）投资者明细", Style::Title);
        inv.height(1, 30);
        inv.merge(1, 2, 4, 2, "税款所属期", Style::Note);
        inv.merge(5, 2, 8, 2, "", Style::Note);
        inv.formula(5, 2, "IF(" + m.qualified(2, 2) + "=\"\",\"\"," + m.qualified(2, 2) + "&\" 至 \"&" + m.qualified(4, 2) + ")",
                    Style::Note);
        inv.merge(16, 2, 19, 2, block::kUnit, Style::Unit);
        columnHeads(inv, 3,
                    {"投资者税务管理码", "投资者名称", "投资者性质", "八、分配比例(%)", "十一、应纳税所得额（6－7－8）",
                     "分配所得（主表38－39）×4÷100", "九、允许扣除的其他费用", "十、投资者减除费用", "本年经营月份数",
                     "十二、税率", "十三、速算扣除数", "十四、应纳税额（5×10－11）", "十五、减免税额",
                     "十六、实际应纳税额（12－13）", "十七、已预缴税额", "应补税额", "应退税额", "备注",
                     "十八、应补(退)税额（14－15）"});
        const std::string base = "(" + m.qualified(4, 45) + "-" + m.qualified(4, 46) + ")";
        for (int r = 5; r <= 54; ++r) {
            const std::string n = s(r);
            inv.value(1, r, Style::Text, 1);
            inv.value(2, r, Style::Text, 1);
            inv.value(3, r, Style::Text, 1);
            inv.value(4, r, Style::RatioInput, 3);
            inv.formula(5, r, investorRow(r, naturalOnly(r, "ROUND(F" + n + "-G" + n + "-H" + n + ",2)")), Style::Amount, 2);
            inv.formula(6, r, investorRow(r, "ROUND(" + base + "*D" + n + "/100,2)"), Style::Amount);
            inv.value(7, r, Style::AmountInput, 2);
            inv.value(8, r, Style::AmountInput, 2);
            inv.value(9, r, Style::CountInput, 3);
            annualTaxColumns(inv, r);
        }
        worksheet_freeze_panes(inv.raw(), 4, 3);
        inv.titleRows(4);
        inv.landscape();

        // Sheet 2: tax adjustment schedule, rows 5 to 51, columns 3 (book) 4 (tax) 5 (adjustment).
        adj.widths({6, 40, 18, 18, 18});
        adj.merge(1, 1, 5, 1, "纳税调整项目明细表", Style::Title);
        adj.height(1, 30);
        adj.merge(1, 2, 5, 2, block::kUnit, Style::Unit);
        adj.merge(1, 3, 1, 4, "行次", Style::Head);
        adj.merge(2, 3, 2, 4, "项    目", Style::Head);
        adj.label(3, 3, "账载金额", Style::Head);
        adj.label(4, 3, "税收金额", Style::Head);
        adj.label(5, 3, "纳税调整金额", Style::Head);
        adj.label(3, 4, "1", Style::LineNo);
        adj.label(4, 4, "2", Style::LineNo);
        adj.label(5, 4, "3（调增为正，调减为负）", Style::LineNo);
        struct Item {
            const char *caption;
            int kind; // 0 income item, 1 deduction item, 2 group or total
            int from, to;
        };
        const std::vector<Item> items = {
            {"一、收入类调整项目", 2, 6, 13},
            {"　（一）视同销售收入", 0, 0, 0},
            {"　（二）未按权责发生制原则确认的收入", 0, 0, 0},
            {"　（三）投资收益", 0, 0, 0},
            {"　（四）公允价值变动净损益", 0, 0, 0},
            {"　（五）不征税收入", 0, 0, 0},
            {"　（六）国债利息收入", 0, 0, 0},
            {"　（七）销售折扣、折让和退回", 0, 0, 0},
            {"　（八）其他", 0, 0, 0},
            {"二、扣除类调整项目", 2, 15, 37},
            {"　（一）视同销售成本", 1, 0, 0},
            {"　（二）职工福利费", 1, 0, 0},
            {"　（三）职工教育经费", 1, 0, 0},
            {"　（四）工会经费", 1, 0, 0},
            {"　（五）利息支出", 1, 0, 0},
            {"　（六）业务招待费", 1, 0, 0},
            {"　（七）广告费和业务宣传费", 1, 0, 0},
            {"　（八）教育和公益事业捐赠", 1, 0, 0},
            {"　（九）住房公积金", 1, 0, 0},
            {"　（十）社会保险费", 1, 0, 0},
            {"　（十一）个人所得税税款", 1, 0, 0},
            {"　（十二）税收滞纳金", 1, 0, 0},
            {"　（十三）罚金、罚款和被没收财物的损失", 1, 0, 0},
            {"　（十四）不符合扣除规定的捐赠", 1, 0, 0},
            {"　（十五）赞助支出", 1, 0, 0},
            {"　（十六）用于个人和家庭的支出", 1, 0, 0},
            {"　（十七）与取得生产经营收入无关的其他支出", 1, 0, 0},
            {"　（十八）投资者工资薪金支出", 1, 0, 0},
            {"　（十九）佣金和手续费支出", 1, 0, 0},
            {"　（二十）跨期扣除项目", 1, 0, 0},
            {"　（二十一）不征税收入用于支出所形成的费用", 1, 0, 0},
            {"　（二十二）国家税务总局规定不准扣除的支出", 1, 0, 0},
            {"　（二十三）其他", 1, 0, 0},
            {"三、资产类调整项目", 2, 39, 44},
            {"　（一）资产折旧", 1, 0, 0},
            {"　（二）无形资产摊销", 1, 0, 0},
            {"　（三）长期待摊费用摊销", 1, 0, 0},
            {"　（四）资产减值准备金", 1, 0, 0},
            {"　（五）资产损失", 1, 0, 0},
            {"　（六）其他", 1, 0, 0},
            {"四、特殊事项调整项目", 2, 46, 48},
            {"　（一）企业重组", 1, 0, 0},
            {"　（二）政策性搬迁", 1, 0, 0},
            {"　（三）其他", 1, 0, 0},
            {"五、特别纳税调整应税所得", 0, 0, 0},
            {"六、其他", 1, 0, 0},
            {"七、合计（一＋二＋三＋四＋五＋六）", 3, 0, 0},
        };
        if (items.size() != 47)
            throw std::runtime_error("adjustment schedule must fill rows 5 to 51");
        for (size_t i = 0; i < items.size(); ++i) {
            const int r = 5 + int(i);
            const std::string n = s(r);
            const Item &it = items[i];
            adj.label(1, r, s(int(i) + 1), Style::LineNo);
            adj.label(2, r, it.caption, Style::Label);
            if (it.kind == 0 || it.kind == 1) {
                adj.zero(3, r, Style::AmountInput, 2);
                adj.zero(4, r, Style::AmountInput, 2);
                // Income counted higher for tax, or expenses allowed lower, raise the income.
                adj.formula(5, r, it.kind == 0 ? "ROUND(D" + n + "-C" + n + ",2)" : "ROUND(C" + n + "-D" + n + ",2)",
                            Style::Amount);
            } else {
                for (int c = 3; c <= 5; ++c) {
                    const std::string L = FormSheet::column(c);
                    const std::string f = it.kind == 2
                        ? "SUM(" + L + s(it.from) + ":" + L + s(it.to) + ")"
                        : L + "5+" + L + "14+" + L + "38+" + L + "45+" + L + "49+" + L + "50";
                    adj.formula(c, r, "ROUND(" + f + ",2)", Style::Amount);
                }
            }
        }

        // Sheet 3: losses of the five earlier years and this year, after the 弥补亏损明细表.
        loss.widths({6, 12, 9, 14, 14, 12, 12, 12, 12, 13, 14, 14, 14, 3, 9, 12, 12, 12, 12, 12, 12, 12, 12});
        loss.merge(1, 1, 13, 1, "弥补亏损明细表", Style::Title);
        loss.height(1, 30);
        loss.merge(1, 2, 13, 2, block::kUnit, Style::Unit);
        loss.merge(1, 3, 1, 5, "行次", Style::Head);
        loss.merge(2, 3, 2, 5, "项目", Style::Head);
        loss.merge(3, 3, 3, 5, "年度", Style::Head);
        loss.merge(4, 3, 4, 5, "企业申报亏损额", Style::Head);
        loss.merge(5, 3, 5, 5, "当年可弥补的亏损额", Style::Head);
        loss.merge(6, 3, 10, 3, "以前年度亏损已弥补额", Style::Head);
        const char *years[] = {"前四年度", "前三年度", "前二年度", "前一年度", "合计"};
        for (int c = 6; c <= 10; ++c)
            loss.merge(c, 4, c, 5, years[c - 6], Style::Head);
        loss.merge(11, 3, 11, 5, "剩余可弥补的亏损额", Style::Head);
        loss.merge(12, 3, 12, 5, "本年度实际弥补的以前年度亏损额", Style::Head);
        loss.merge(13, 3, 13, 5, "可结转以后年度弥补的亏损额", Style::Head);
        loss.height(3, 22);
        loss.height(4, 22);
        loss.height(5, 34);
        for (int c = 3; c <= 13; ++c)
            loss.label(c, 6, s(c - 2), Style::LineNo);
        loss.blankMerge(1, 6, 2, 6, Style::LineNo);

        // Helper block: what the ledger says was made up of each loss (rows 10–14, one per loss year)
        // in each later year (columns 16–23, the years Y−4 to Y+3).
        loss.merge(15, 8, 23, 8, "亏损台账：各年度亏损在以后年度的弥补额（由弥补亏损台账填入）", Style::Head);
        loss.label(15, 9, "亏损年度", Style::Head);
        for (int c = 16; c <= 23; ++c)
            loss.formula(c, 9, "IF($C$12=\"\",\"\",$C$12-" + s(20 - c) + ")", Style::Year);
        for (int k = 0; k < 5; ++k) {
            const int r = 10 + k;
            loss.formula(15, r, "IF($C$12=\"\",\"\",$C$12-" + s(5 - k) + ")", Style::Year);
            for (int c = 16; c <= 23; ++c) {
                if (c >= 16 + k && c <= 19 + k)
                    loss.value(c, r, Style::Amount, 2);
                else
                    loss.blank(c, r, Style::NotApplicable);
            }
        }

        const char *rowNames[] = {"前五年度", "前四年度", "前三年度", "前二年度", "前一年度", "本年度"};
        const std::string adjusted = m.qualified(4, 45);
        for (int k = 0; k <= 5; ++k) {
            const int r = 7 + k;
            const std::string n = s(r);
            loss.label(1, r, s(k + 1), Style::LineNo);
            loss.label(2, r, rowNames[k], Style::LabelCenter);
            loss.height(r, 20);
            if (k == 5) {
                loss.value(3, r, Style::Year, 3); // the declared year, written by the load
                loss.formula(4, r, "IF(" + adjusted + "<0,-" + adjusted + ",0)", Style::Amount);
                loss.formula(5, r, "D" + n, Style::Amount);
                for (int c = 6; c <= 12; ++c)
                    loss.blank(c, r, Style::NotApplicable);
                loss.formula(13, r, "E" + n, Style::Amount);
                continue;
            }
            loss.formula(3, r, "IF($C$12=\"\",\"\",$C$12-" + s(5 - k) + ")", Style::Year);
            loss.value(4, r, Style::Amount, 2);
            loss.value(5, r, Style::Amount, 2);
            // Made up in year Y−4+j (j = 0…3) only if that year follows the loss year.
            for (int j = 0; j < 4; ++j) {
                if (j >= k)
                    loss.formula(6 + j, r, FormSheet::ref(16 + j, 10 + k), Style::Amount);
                else
                    loss.blank(6 + j, r, Style::NotApplicable);
            }
            loss.formula(10, r, "ROUND(SUM(F" + n + ":I" + n + "),2)", Style::Amount);
            loss.formula(11, r, "ROUND(MAX(0,E" + n + "-J" + n + "),2)", Style::Amount);
            // This year's income makes up the oldest losses first.
            const std::string before = k == 0 ? "0" : "SUM(L$7:L" + s(r - 1) + ")";
            loss.formula(12, r, "ROUND(MIN(K" + n + ",MAX(0,MAX(0," + adjusted + ")-" + before + ")),2)", Style::Amount);
            if (k == 0)
                loss.blank(13, r, Style::NotApplicable); // the oldest loss expires this year
            else
                loss.formula(13, r, "ROUND(K" + n + "-L" + n + ",2)", Style::Amount);
        }
        loss.label(1, 13, "7", Style::LineNo);
        loss.merge(2, 13, 11, 13, "合计", Style::LabelCenter);
        loss.formula(12, 13, "ROUND(SUM(L7:L11),2)", Style::Amount);
        loss.formula(13, 13, "ROUND(SUM(M8:M12),2)", Style::Amount);
        loss.merge(1, 15, 13, 16,
                   "说明：第1列本年度由系统按申报所属期填入，以前年度依次倒推；第2、3列及右侧亏损台账区由“弥补亏损台账”"
                   "填入；第10列合计为本年度实际弥补的以前年度亏损额，填入主表第39行。",
                   Style::Note);
        loss.landscape();

        // Sheet 4: other partnerships the enterprise's investors are invested in.
        other.widths({34, 14, 16, 16, 16, 16});
        other.merge(1, 1, 6, 1, "投资其他合伙企业情况表", Style::Title);
        other.height(1, 30);
        other.merge(1, 2, 6, 2, block::kUnit, Style::Unit);
        columnHeads(other, 3, {"被投资合伙企业名称", "分配比例(%)", "分配所得", "应纳税所得额", "应纳税额", "已缴税额"});
        other.height(3, 30);
        for (int r = 5; r <= 27; ++r) {
            other.value(1, r, Style::TextInput, 1);
            other.value(2, r, Style::RatioInput, 3);
            for (int c = 3; c <= 6; ++c)
                other.value(c, r, Style::AmountInput, 2);
        }
        return book.finish(data);
    });
}

bool buildAnnualDeemed(const std::string &rpt, const std::string &data)
{
    return guarded("hdzs", [&] {
        FormBook book(rpt + "/hdzs.xlsx", "wa_hdzssheet");
        FormSheet &m = book.addSheet(block::kMainSheet);
        FormSheet &inv = book.addSheet(block::kInvestorSheet);
        const std::string invQ = "'" + inv.name() + "'!";

        block::enterpriseHeader(m, "个人所得税生产经营所得纳税申报表（B表）（核定征收）", block::HeaderKind::AnnualDeemed,
                                "COUNTA(" + invQ + "A4:A53)");
        block::line(m, 8, "一、收入总额", "1", "按成本费用核定的不填");
        m.zero(4, 8, Style::AmountInput, 2);
        block::line(m, 9, "　　其中：不征税收入", "2", "按成本费用核定的不填");
        m.zero(4, 9, Style::AmountInput, 2);
        block::line(m, 10, "二、成本费用", "3", "按收入总额核定的不填");
        m.zero(4, 10, Style::AmountInput, 2);
        block::line(m, 11, "三、应税所得率(%)", "4", "");
        m.zero(4, 11, Style::RatioInput, 3);
        block::line(m, 12, "四、应纳税所得额", "5", "按收入1×4；按成本3÷(1－4)×4");
        // By cost under code 22, or, with no code loaded yet, when there is no income. By income
        // the base is the whole 收入总额: line 2 beneath it is information only.
        m.formula(4, 12,
                  "ROUND(IF(OR($F$6=22,AND($F$6<>20,$D$8<=0)),IF(D11>=100,0,D10/(1-D11/100)*D11/100),D8*D11/100),2)",
                  Style::Amount);
        const struct {
            const char *caption;
            const char *column;
            const char *note;
        } totals[] = {{"五、应纳税额合计", "L", "投资者明细第12列合计"},
                      {"六、减免税额合计", "M", "投资者明细第13列合计"},
                      {"七、已预缴税额合计", "O", "投资者明细第15列合计"},
                      {"八、应补(退)税额合计", "S", "投资者明细第19列合计"}};
        for (int i = 0; i < 4; ++i) {
            const int r = 13 + i;
            block::line(m, r, totals[i].caption, s(6 + i), totals[i].note);
            m.formula(4, r, "SUM(" + invQ + totals[i].column + "4:" + totals[i].column + "53)", Style::Amount);
        }
        block::declaration(m, 18, 6);

        inv.widths(kInvestorWidths);
        inv.merge(1, 1, 15, 1, "个人所得税生产经营所得纳税申报表（核定征收）投资者明细", Style::Title);
        inv.merge(16, 1, 19, 1, block::kUnit, Style::Unit);
        inv.height(1, 30);
        columnHeads(inv, 2,
                    {"投资者税务管理码", "投资者名称", "投资者性质", "分配比例(%)", "应纳税所得额（主表5×4÷100）",
                     "本年经营月份数", "分得收入总额", "分得成本费用", "应税所得率", "税率", "速算扣除数",
                     "应纳税额（5×10－11）", "减免税额", "实际应纳税额（12－13）", "已预缴税额", "应补税额", "应退税额",
                     "备注", "应补(退)税额（14－15）"});
        for (int r = 4; r <= 53; ++r) {
            const std::string n = s(r);
            inv.value(1, r, Style::Text, 1);
            inv.value(2, r, Style::Text, 1);
            inv.value(3, r, Style::Text, 1);
            inv.value(4, r, Style::RatioInput, 3);
            inv.formula(5, r, investorRow(r, naturalOnly(r, "ROUND(" + m.qualified(4, 12) + "*D" + n + "/100,2)")),
                        Style::Amount, 2);
            inv.value(6, r, Style::CountInput, 3);
            inv.formula(7, r, investorRow(r, "ROUND(" + m.qualified(4, 8) + "*D" + n + "/100,2)"), Style::Amount);
            inv.formula(8, r, investorRow(r, "ROUND(" + m.qualified(4, 10) + "*D" + n + "/100,2)"), Style::Amount);
            inv.formula(9, r, investorRow(r, m.qualified(4, 11) + "/100"), Style::FinePercent);
            annualTaxColumns(inv, r);
        }
        worksheet_freeze_panes(inv.raw(), 3, 3);
        inv.titleRows(3);
        inv.landscape();
        return book.finish(data);
    });
}

bool buildLossLedger(const std::string &rpt)
{
    return guarded("mbkstz", [&] {
        FormBook book(rpt + "/mbkstz.xlsx", "");
        FormSheet &l = book.addSheet("弥补亏损台账");
        l.widths({26, 15, 15, 15, 15, 15});
        l.merge(1, 1, 6, 1, "弥补亏损台账", Style::Title);
        l.height(1, 30);
        l.merge(1, 2, 6, 2, block::kUnit, Style::Unit);
        l.label(1, 3, "年    度", Style::Head);
        // Five years, oldest first; the program writes the last one (the year before the declared year).
        for (int c = 2; c <= 5; ++c)
            l.formula(c, 3, "IF($F$3=\"\",\"\",$F$3-" + s(6 - c) + ")", Style::Year);
        l.blank(6, 3, Style::Year);
        const char *rows[] = {"企业申报亏损额", "可弥补亏损额", "以后第1年度弥补额", "以后第2年度弥补额", "以后第3年度弥补额",
                              "以后第4年度弥补额"};
        for (int r = 4; r <= 9; ++r) {
            l.label(1, r, rows[r - 4], Style::Label);
            for (int c = 2; c <= 6; ++c)
                l.zero(c, r, Style::AmountInput, 0);
            l.height(r, 20);
        }
        l.label(1, 10, "尚未弥补的亏损额", Style::Label);
        for (int c = 2; c <= 6; ++c) {
            const std::string L = FormSheet::column(c);
            l.formula(c, 10, "ROUND(MAX(0," + L + "5-SUM(" + L + "6:" + L + "9)),2)", Style::Amount);
        }
        // A make-up year after the year before the declared year does not apply yet: mark 5.
        const std::string q = "'" + l.name() + "'!";
        book.defineName("Mark5", "=" + q + "$C$9," + q + "$D$8:$D$9," + q + "$E$7:$E$9," + q + "$F$6:$F$9");
        l.merge(1, 12, 6, 13,
                "说明：第3行为亏损年度，自左至右为申报年度前五年至前一年；第6至9行填写该年度亏损在以后各年度的弥补额，"
                "标“*”的单元格不适用。",
                Style::Note);
        return book.finish("");
    });
}
