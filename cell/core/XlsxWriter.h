// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a workbook as .xlsx: values, formulas with their current results, styles, merges,
// sizes, and marks as "MarkN_k" defined names so the file opens again with them.
#pragma once

#include <QString>

namespace lw {

class Workbook;

bool writeXlsxFile(const Workbook &book, const QString &path, QString *error);

} // namespace lw
