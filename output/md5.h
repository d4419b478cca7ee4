// SPDX-License-Identifier: GPL-3.0-or-later
// The seal of an electronic data file: an MD5 digest (RFC 1321) over the enterprise code and the
// file's tax total, as 32 lowercase hexadecimal characters.
#pragma once

#include <QByteArray>
#include <QString>

namespace lw {

QString Md5Hex(const QByteArray &bytes);
// The total with exactly two decimals, '.' as the decimal point, no separators; halves away
// from zero, -0 as "0.00".
QString TotalText(double total);
QString Seal(const QString &enterpriseCode, double total);

} // namespace lw
