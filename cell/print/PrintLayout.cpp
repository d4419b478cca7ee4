// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrintLayout.h"

#include "Workbook.h"

#include <algorithm>

namespace lw {

namespace {

// Template labels are locked constant text; everything else that shows something is the form's
// content.
bool isLabel(const Workbook &book, const Cell &c)
{
    return c.formula < 0 && c.value.type == ValueType::Text && book.style(c.style).locked;
}

bool isFilled(const Workbook &book, const Cell &c)
{
    if (isLabel(book, c))
        return false;
    switch (c.value.type) {
    case ValueType::Empty: return false;
    case ValueType::Number:
    case ValueType::Bool: return c.value.number != 0;
    case ValueType::Text: return !c.value.text.trimmed().isEmpty();
    case ValueType::Error: return true;
    }
    return false;
}

} // namespace

double PrintLayout::columnWidth(const Sheet &sheet, int col)
{
    // As the grid draws it at 96 dpi: seven pixels a character and five of padding.
    const double chars = sheet.colWidths.value(col, sheet.defaultColWidth);
    return chars > 0 ? (chars * 7 + 5) * 0.75 : 0;
}

double PrintLayout::rowHeight(const Sheet &sheet, int row)
{
    return std::max(0.0, sheet.rowHeights.value(row, sheet.defaultRowHeight));
}

bool PrintLayout::hasContent(const Workbook &book, int sheet)
{
    const Sheet *s = book.sheet(sheet);
    if (!s)
        return false;
    for (const Cell *c : s->sortedCells())
        if (c->row > s->titleRowLast && isFilled(book, *c))
            return true;
    return false;
}

QString PrintLayout::formTitle(const Workbook &book, const PrintOptions &options)
{
    if (!options.title.isEmpty() || book.sheetCount() == 0)
        return options.title;
    for (const Cell *c : book.sheet(0)->sortedCells())
        if (c->value.type == ValueType::Text && !c->value.text.trimmed().isEmpty())
            return c->value.text.simplified();
    return QString();
}

PrintLayout::PrintLayout(const Workbook &book, const QSizeF &area, const PrintOptions &options)
    : m_area(area), m_title(formTitle(book, options))
{
    m_scale.assign(size_t(book.sheetCount()), 1.0);
    m_lastCol.assign(size_t(book.sheetCount()), 0);
    std::vector<int> sheets;
    for (int s : options.sheets)
        if (s >= 0 && s < book.sheetCount())
            sheets.push_back(s);
    if (options.sheets.empty()) {
        for (int s = 0; s < book.sheetCount(); ++s)
            if (hasContent(book, s))
                sheets.push_back(s);
        // A form with nothing filled in prints whole, as a blank form to fill in by hand.
        if (sheets.empty())
            for (int s = 0; s < book.sheetCount(); ++s)
                sheets.push_back(s);
    }
    for (int s : sheets)
        layoutSheet(book, s);
    for (size_t i = 0; i < m_pages.size(); ++i)
        m_pages[i].page = int(i) + 1;
}

double PrintLayout::scale(int sheet) const
{
    return sheet >= 0 && size_t(sheet) < m_scale.size() ? m_scale[size_t(sheet)] : 1.0;
}

int PrintLayout::lastCol(int sheet) const
{
    return sheet >= 0 && size_t(sheet) < m_lastCol.size() ? m_lastCol[size_t(sheet)] : 0;
}

void PrintLayout::layoutSheet(const Workbook &book, int sheetIndex)
{
    const Sheet &sheet = *book.sheet(sheetIndex);
    int lastCol = sheet.maxCol(), lastRow = sheet.maxRow();
    for (const CellRange &m : sheet.merges) {
        lastCol = std::max(lastCol, std::min(m.col2, MaxCol));
        lastRow = std::max(lastRow, std::min(m.row2, MaxRow));
    }
    if (lastCol < 1 || lastRow < 1)
        return;
    m_lastCol[size_t(sheetIndex)] = lastCol;
    double width = 0;
    for (int c = 1; c <= lastCol; ++c)
        width += columnWidth(sheet, c);
    const double scale = width > m_area.width() ? m_area.width() / width : 1.0;
    m_scale[size_t(sheetIndex)] = scale;

    const int headingLast = std::min(sheet.titleRowLast, lastRow);
    const int headingFirst = headingLast > 0 ? std::max(1, sheet.titleRowFirst) : 0;
    // On a list with heading rows, rows that hold no entry (no label, nothing filled in or
    // computed) are left out, so a short list prints short.
    std::vector<char> keep(size_t(lastRow) + 1, headingLast > 0 ? 0 : 1);
    std::vector<char> joinedToPrevious(size_t(lastRow) + 2, 0);
    for (const CellRange &m : sheet.merges) {
        for (int r = m.row1; r <= std::min(m.row2, lastRow); ++r) {
            keep[size_t(r)] = 1;
            if (r > m.row1)
                joinedToPrevious[size_t(r)] = 1;
        }
    }
    if (headingLast > 0)
        for (const Cell *c : sheet.sortedCells())
            if (c->row <= lastRow && (isFilled(book, *c) || (isLabel(book, *c) && !c->value.text.trimmed().isEmpty())))
                keep[size_t(c->row)] = 1;

    double headingHeight = 0;
    std::vector<int> headings;
    for (int r = headingFirst; r >= 1 && r <= headingLast; ++r) {
        headings.push_back(r);
        headingHeight += rowHeight(sheet, r);
    }
    // Blocks of rows that a page break must not split (rows joined by a merged range).
    std::vector<std::vector<int>> blocks;
    for (int r = headingLast + 1; r <= lastRow; ++r) {
        if (!keep[size_t(r)])
            continue;
        if (joinedToPrevious[size_t(r)] && !blocks.empty() && blocks.back().back() == r - 1)
            blocks.back().push_back(r);
        else
            blocks.push_back({r});
    }
    const double room = (m_area.height() - FooterHeight) / scale - headingHeight;
    PrintPage page;
    page.sheet = sheetIndex;
    page.rows = headings;
    page.headingRows = int(headings.size());
    double used = 0;
    bool hasBody = false;
    for (const std::vector<int> &block : blocks) {
        double h = 0;
        for (int r : block)
            h += rowHeight(sheet, r);
        if (hasBody && used + h > room) {
            m_pages.push_back(page);
            page.rows = headings;
            used = 0;
            hasBody = false;
        }
        page.rows.insert(page.rows.end(), block.begin(), block.end());
        used += h;
        hasBody = true;
    }
    if (hasBody || !page.rows.empty())
        m_pages.push_back(page);
}

} // namespace lw
