// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace lw {

// The general number format of every amount written to a document or stored as text: up to 15
// significant digits, no trailing zeros, no thousands separator, '.' as the decimal point.
QString FormatGeneral(double value);

} // namespace lw
