// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormNotices.h"

#include "TCell.h"

#include <cmath>

namespace lw {

QDate RegimeStart()
{
    return QDate(2011, 9, 1);
}

QDate RegimeEnd()
{
    return QDate(2018, 9, 30);
}

QString RegimeNotice(const QDate &start, const QDate &end)
{
    if (!start.isValid() || !end.isValid())
        return QString();
    if (start >= RegimeStart() && end <= RegimeEnd())
        return QString();
    return QStringLiteral("提示：本表按2011年9月1日至2018年9月30日施行的五级超额累进税率表和每月3500元减除费用计算，"
                          "所属期%1至%2不全在该期间内，请核对计算结果。")
        .arg(start.toString(QStringLiteral("yyyy-MM-dd")), end.toString(QStringLiteral("yyyy-MM-dd")));
}

double InvestorShareSum(TCell &cell, int firstRow, int lastRow)
{
    double sum = 0;
    for (int row = firstRow; row <= lastRow; ++row)
        if (!cell.ReadCellText(1, row, 1).trimmed().isEmpty())
            sum += cell.ReadCellNumber(4, row, 1);
    return sum;
}

QString ShareNotice(double sum)
{
    // Compared in hundredths, as the form shows the ratios.
    const long long hundredths = std::llround(sum * 100);
    if (hundredths == 10000)
        return QString();
    return QStringLiteral("提示：投资者分配比例合计为%1%，不等于100%，请核对。")
        .arg(QString::number(double(hundredths) / 100, 'f', 2));
}

} // namespace lw
