// SPDX-License-Identifier: GPL-3.0-or-later
// How a workbook falls onto printed pages: which sheets, which rows on which page, the scale
// that fits every column on the page width. Geometry is in points; no painting here.
#pragma once

#include <QSizeF>
#include <QString>

#include <vector>

namespace lw {

class Workbook;
class Sheet;

struct PrintOptions
{
    // Footer title; empty takes the form's own heading (the first text on its first sheet).
    QString title;
    // Sheets asked for, printed even when empty; none asked means every sheet with content.
    std::vector<int> sheets;
};

struct PrintPage
{
    int sheet = 0;
    std::vector<int> rows; // the repeated heading rows first, then this page's body rows
    int headingRows = 0;   // how many of rows are headings
    int page = 0;          // 1-based over the whole print
};

class PrintLayout
{
public:
    // Room at the foot of every page for the title and page number.
    static constexpr double FooterHeight = 20;

    // area: the paintable part of the page, in points.
    PrintLayout(const Workbook &book, const QSizeF &area, const PrintOptions &options);

    const std::vector<PrintPage> &pages() const { return m_pages; }
    int pageCount() const { return int(m_pages.size()); }
    QString title() const { return m_title; }
    const QSizeF &area() const { return m_area; }
    // Points of the sheet are multiplied by this on paper (at most 1).
    double scale(int sheet) const;
    int lastCol(int sheet) const;

    // Excel's column width in characters and row height, converted to points.
    static double columnWidth(const Sheet &sheet, int col);
    static double rowHeight(const Sheet &sheet, int row);
    // True when a cell below the headings holds something filled in or computed (labels of the
    // template do not count).
    static bool hasContent(const Workbook &book, int sheet);
    // The footer title: the one asked for, or the form's own heading.
    static QString formTitle(const Workbook &book, const PrintOptions &options);

private:
    void layoutSheet(const Workbook &book, int sheet);

    QSizeF m_area;
    QString m_title;
    std::vector<PrintPage> m_pages;
    std::vector<double> m_scale;
    std::vector<int> m_lastCol;
};

} // namespace lw
