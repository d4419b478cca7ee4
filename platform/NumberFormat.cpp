// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberFormat.h"

#include <cmath>
#include <cstdio>

namespace lw {

QString FormatGeneral(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    QString text = QString::fromLatin1(buf);
    const int e = text.indexOf(QLatin1Char('e'));
    if (e < 0)
        return text;
    // Scientific notation only where a plain number would need more than 15 digits before or
    // 5 zeros after the point; in between write it out, as the general format does.
    const int exponent = text.mid(e + 1).toInt();
    if (exponent >= 15 || exponent < -5)
        return text.left(e) + QStringLiteral("E") + (exponent < 0 ? QStringLiteral("-") : QStringLiteral("+"))
            + QString::number(std::abs(exponent)).rightJustified(2, QLatin1Char('0'));
    std::snprintf(buf, sizeof buf, "%.*f", 14 - exponent, value);
    text = QString::fromLatin1(buf);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

QString FormatStoredValue(const QVariant &value)
{
    if (value.isNull())
        return QString();
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        return FormatGeneral(value.toDouble());
    return value.toString();
}

} // namespace lw
