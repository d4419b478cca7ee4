// SPDX-License-Identifier: GPL-3.0-or-later
// Formula text of any shape: parsing, shifting and evaluating must neither crash nor hang.
#include "Formula.h"
#include "Workbook.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > 4096)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    lw::parseFormula(text);
    const QString shifted = lw::shiftFormula(text, 2, -3);
    lw::Workbook book;
    book.addSheet(QStringLiteral("主表"));
    book.addSheet(QStringLiteral("Sheet2"));
    book.writeNumber(1, 1, 0, 1.5);
    book.writeText(2, 1, 0, QStringLiteral(" 12 "));
    book.writeNumber(1, 2, 1, -3);
    book.setFormula(3, 3, 0, text);
    book.setFormula(4, 4, 0, shifted);
    book.setFormula(1, 3, 0, QStringLiteral("C3+1")); // may close a cycle through the input
    book.recalculate();
    book.readText(3, 3, 0);
    return 0;
}
