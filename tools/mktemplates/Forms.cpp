// SPDX-License-Identifier: GPL-3.0-or-later
#include "Forms.h"

namespace block {

const char *const kUnit = "金额单位：人民币元（列至角分）";
const char *const kMainSheet = "主表";
const char *const kInvestorSheet = "投资者明细";
const char *const kLegalPerson = "法人投资者";

void enterpriseHeader(FormSheet &s, const std::string &title, HeaderKind kind, const std::string &investorCount)
{
    s.widths({17, 26, 7, 19, 22, 16});
    s.merge(1, 1, 6, 1, title, Style::Title);
    s.height(1, 32);

    s.label(1, 2, "税款所属期", Style::LabelCenter);
    s.value(2, 2, Style::Text, 1);
    s.label(3, 2, "至", Style::LabelCenter);
    s.value(4, 2, Style::Text, 1);
    s.merge(5, 2, 6, 2, kUnit, Style::Unit);

    s.label(1, 3, "企业名称", Style::LabelCenter);
    s.valueMerge(2, 3, 3, 3, Style::Text, 1);
    s.label(4, 3, "纳税人识别号", Style::LabelCenter);
    s.valueMerge(5, 3, 6, 3, Style::Text, 1);

    s.label(1, 4, "注册地址", Style::LabelCenter);
    s.valueMerge(2, 4, 3, 4, Style::Text, 1);
    s.label(4, 4, "税务管理码", Style::LabelCenter);
    s.valueMerge(5, 4, 6, 4, Style::Text, 1);

    s.label(1, 5, "投资者人数", Style::LabelCenter);
    s.blankMerge(2, 5, 3, 5, Style::Count);
    s.formula(2, 5, investorCount, Style::Count);
    s.label(4, 5, "联系电话", Style::LabelCenter);
    s.valueMerge(5, 5, 6, 5, Style::Text, 1);

    if (kind == HeaderKind::Quarterly) {
        s.label(1, 6, "征收方式", Style::LabelCenter);
        s.valueMerge(2, 6, 3, 6, Style::Text, 1);
        s.label(4, 6, "登记注册类型", Style::LabelCenter);
        s.value(5, 6, Style::Text, 1);
    } else {
        s.label(1, 6, "登记注册类型", Style::LabelCenter);
        s.valueMerge(2, 6, 3, 6, Style::Text, 1);
        s.label(4, 6, "征收方式", Style::LabelCenter);
        if (kind == HeaderKind::AnnualAudit)
            s.valueMerge(5, 6, 6, 6, Style::Text, 1);
        else
            s.value(5, 6, Style::Text, 1);
    }
    if (kind != HeaderKind::AnnualAudit)
        s.value(6, 6, Style::Code, 3); // collection code as a number: 10, 20 or 22

    s.merge(1, 7, 2, 7, "项    目", Style::Head);
    s.label(3, 7, "行次", Style::Head);
    s.label(4, 7, "金    额", Style::Head);
    s.merge(5, 7, 6, 7, "说    明", Style::Head);
    for (int r = 2; r <= 7; ++r)
        s.height(r, 20);
}

void line(FormSheet &s, int row, const std::string &caption, const std::string &lineNo, const std::string &note)
{
    s.merge(1, row, 2, row, caption, Style::Label);
    s.label(3, row, lineNo, Style::LineNo);
    s.merge(5, row, 6, row, note, Style::Label);
    s.height(row, 20);
}

int declaration(FormSheet &s, int row, int lastCol)
{
    s.merge(1, row, lastCol, row,
            "谨声明：此表是根据《中华人民共和国个人所得税法》及有关法律法规规定填写的，是真实的、完整的、可靠的。",
            Style::Label);
    s.height(row, 30);
    ++row;
    s.merge(1, row, lastCol, row, "纳税人签字：　　　　　　　　　　　　　　　　　　　　　　　　年　　月　　日",
            Style::Label);
    s.height(row, 24);
    ++row;
    const int mid = lastCol / 2;
    s.merge(1, row, mid, row + 3,
            "代理申报机构（负责人）签章：\n经办人：\n经办人执业证件号码：\n代理申报日期：　　　　年　　月　　日",
            Style::Label);
    s.merge(mid + 1, row, lastCol, row + 3,
            "主管税务机关受理专用章：\n\n受理人：\n受理日期：　　　　年　　月　　日", Style::Label);
    for (int r = row; r <= row + 3; ++r)
        s.height(r, 18);
    row += 4;
    s.merge(1, row, lastCol, row, "国家税务总局监制", Style::Note);
    return row + 1;
}

std::string investorRow(int row, const std::string &expr)
{
    const std::string r = std::to_string(row);
    return "IF($A" + r + "=\"\",\"\"," + expr + ")";
}

std::string naturalOnly(int row, const std::string &expr)
{
    return "IF($C" + std::to_string(row) + "=\"" + std::string(kLegalPerson) + "\",0," + expr + ")";
}

} // namespace block
