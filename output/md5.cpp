// SPDX-License-Identifier: GPL-3.0-or-later
#include "md5.h"

#include <QCryptographicHash>

#include <cmath>

namespace lw {

QString Md5Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

QString TotalText(double total)
{
    // Round on the decimal value the total shows (15 significant digits), as the forms do, so
    // that 0.125 stored as 0.12499999… still seals as 0.13.
    const double shown = QString::number(total, 'g', 15).toDouble();
    double cents = std::round(QString::number(shown * 100.0, 'g', 15).toDouble());
    if (cents == 0.0)
        cents = 0.0; // no "-0.00"
    return QString::number(cents / 100.0, 'f', 2);
}

QString Seal(const QString &enterpriseCode, double total)
{
    return Md5Hex((enterpriseCode + TotalText(total)).toUtf8());
}

} // namespace lw
