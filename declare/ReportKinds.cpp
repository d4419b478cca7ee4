// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportKinds.h"

namespace lw {

bool IsAuditBased(const QString &collectionMethodCode)
{
    return collectionMethodCode == QLatin1String("10");
}

ReportKindInfo KindInfo(int kind, const QString &collectionMethodCode)
{
    switch (kind) {
    case 1:
        return {QStringLiteral("季度预缴"), QStringLiteral("rpt/yjbb.xlsx"), QStringLiteral("wa_yjsheet"),
                QStringLiteral("recal_yj"), QStringLiteral("hlp/yj.html"), 2, 3};
    case 2:
        return {QStringLiteral("企业清算"), QStringLiteral("rpt/qsbb.xlsx"), QStringLiteral("wa_qssheet"),
                QStringLiteral("recal_qs"), QStringLiteral("hlp/qs.html"), 3, 3};
    case 3:
        return {QStringLiteral("汇总申报"), QStringLiteral("rpt/hzsbb.xlsx"), QStringLiteral("wa_hzsheet"),
                QStringLiteral("recal_hz"), QStringLiteral("hlp/hz.html"), 3, 3};
    case 4:
        if (IsAuditBased(collectionMethodCode))
            return {QStringLiteral("查账征收"), QStringLiteral("rpt/czzs.xlsx"), QStringLiteral("wa_czzssheet"),
                    QStringLiteral("recal_cz"), QStringLiteral("hlp/cz.html"), 2, 3};
        return {QStringLiteral("核定征收"), QStringLiteral("rpt/hdzs.xlsx"), QStringLiteral("wa_hdzssheet"),
                QStringLiteral("recal_hd"), QStringLiteral("hlp/hd.html"), 2, 3};
    case 5:
        return {QStringLiteral("合伙人为合伙企业明细"), QStringLiteral("rpt/hhqymx.xlsx"), QStringLiteral("wa_hhqymx"),
                QStringLiteral("recal_hhqymx"), QString(), 2, 2};
    default:
        return {};
    }
}

Period ProposePeriod(int kind, const QString &sbqxrDm, const QDate &today)
{
    const int y = today.year();
    const int m = today.month();
    const QDate monthStart(y, m, 1);
    const Period month{monthStart, monthStart.addMonths(1).addDays(-1)};
    switch (kind) {
    case 1:
        if (sbqxrDm == QLatin1String("Q01_15")) {
            const int first = (m - 1) / 3 * 3 + 1;
            const QDate start(y, first, 1);
            return {start, start.addMonths(3).addDays(-1)};
        }
        if (sbqxrDm == QLatin1String("M01_15"))
            return month;
        return {};
    case 2:
    case 3:
    case 5:
        return month;
    case 4:
        return {QDate(y - 1, 1, 1), QDate(y - 1, 12, 31)};
    default:
        return {};
    }
}

QString PeriodText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QDate ParsePeriodText(const QString &text)
{
    const QString t = text.trimmed();
    for (const char *format : {"yyyy-MM-dd", "yyyy-M-d", "yyyy/M/d", "yyyyMMdd"}) {
        const QDate d = QDate::fromString(t, QLatin1String(format));
        if (d.isValid())
            return d;
    }
    return {};
}

} // namespace lw
