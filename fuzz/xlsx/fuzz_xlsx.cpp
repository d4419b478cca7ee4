// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as an .xlsx template: the reader ends in a workbook or an error, and a workbook it
// accepts recalculates and shows its cells.
#include "Workbook.h"
#include "XlsxReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    lw::Workbook book;
    QString error;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!lw::readXlsxData(bytes, book, &error))
        return 0;
    book.recalculate();
    for (int s = 0; s < book.sheetCount(); ++s)
        for (const lw::Cell *c : book.sheet(s)->sortedCells())
            book.readText(c->col, c->row, s);
    return 0;
}
