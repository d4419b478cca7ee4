// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

namespace lw {

// The general number format of every amount written to a document or stored as text: up to 15
// significant digits, no trailing zeros, no thousands separator, '.' as the decimal point.
QString FormatGeneral(double value);
// What a spreadsheet cell in the general format shows: like FormatGeneral, but with an exponent
// ("1E+16", "1.5E-07") where a plain number would need more than 15 digits before or 5 zeros
// after the point. For the screen only; documents take FormatGeneral.
QString FormatCellGeneral(double value);
// An amount typed by the user (blanks around it allowed); false for anything that is not a
// finite number ("inf", "nan", "1e400"), which no column or document could hold.
bool ParseAmount(const QString &text, double *value);
// A stored column value as text: amounts in the general number format, null as empty.
QString FormatStoredValue(const QVariant &value);

} // namespace lw
