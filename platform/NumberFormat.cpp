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
    // Fifteen significant digits, then written out in full: the bureau and the spreadsheets read
    // plain decimals, never an exponent, however large or small the amount.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    const QString text = QString::fromLatin1(buf);
    const int e = text.indexOf(QLatin1Char('e'));
    const int exponent = text.mid(e + 1).toInt();
    QString digits = text.left(e).remove(QLatin1Char('.'));
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    QString plain;
    if (exponent < 0) {
        plain = QStringLiteral("0.") + QString(-exponent - 1, QLatin1Char('0')) + digits;
    } else if (exponent + 1 >= digits.size()) {
        plain = digits + QString(exponent + 1 - int(digits.size()), QLatin1Char('0'));
    } else {
        plain = digits.left(exponent + 1) + QLatin1Char('.') + digits.mid(exponent + 1);
    }
    return value < 0 ? QLatin1Char('-') + plain : plain;
}

QString FormatCellGeneral(double value)
{
    if (!std::isfinite(value) || value == 0)
        return FormatGeneral(value);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    const QString text = QString::fromLatin1(buf);
    const int e = text.indexOf(QLatin1Char('e'));
    if (e < 0)
        return text;
    const int exponent = text.mid(e + 1).toInt();
    if (exponent >= 15 || exponent < -5)
        return text.left(e) + QStringLiteral("E") + (exponent < 0 ? QStringLiteral("-") : QStringLiteral("+"))
            + QString::number(std::abs(exponent)).rightJustified(2, QLatin1Char('0'));
    return FormatGeneral(value);
}

bool ParseAmount(const QString &text, double *value)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return false;
    *value = number;
    return true;
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
