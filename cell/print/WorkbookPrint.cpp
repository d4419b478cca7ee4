// SPDX-License-Identifier: GPL-3.0-or-later
#include "WorkbookPrint.h"

#include "Workbook.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <unordered_map>

namespace lw {

namespace {

// Paints one page. Coordinates are the sheet's points; the painter maps them onto the device.
class PagePainter
{
public:
    PagePainter(QPainter &p, const Workbook &book, const PrintLayout &layout, double dpi)
        : m_p(p), m_book(book), m_layout(layout), m_fontFactor(72.0 / dpi)
    {
    }

    void paint(const PrintPage &page)
    {
        const Sheet &sheet = *m_book.sheet(page.sheet);
        const int lastCol = m_layout.lastCol(page.sheet);
        m_colX.assign(size_t(lastCol) + 2, 0);
        for (int c = 1; c <= lastCol; ++c)
            m_colX[size_t(c)] = m_colX[size_t(c - 1)] + PrintLayout::columnWidth(sheet, c);
        m_rowY.clear();
        double y = 0;
        for (int r : page.rows) {
            m_rowY[r] = {y, PrintLayout::rowHeight(sheet, r)};
            y += PrintLayout::rowHeight(sheet, r);
        }
        m_p.save();
        const double s = m_layout.scale(page.sheet);
        // Centred across the page, as the templates ask of a printout.
        m_p.translate(std::max(0.0, (m_layout.area().width() - m_colX[size_t(lastCol)] * s) / 2), 0);
        m_p.scale(s, s);
        for (int r : page.rows) {
            for (int c = 1; c <= lastCol; ++c) {
                const CellRange *m = sheet.mergeAt(c, r);
                if (m) {
                    // Drawn once, from the first of its cells on this page.
                    if (c != m->col1 || firstRowOnPage(*m, r) != r)
                        continue;
                    paintCell(page.sheet, m->col1, m->row1, mergeRect(*m, r, lastCol));
                } else if (sheet.find(c, r)) {
                    paintCell(page.sheet, c, r, QRectF(m_colX[size_t(c - 1)], m_rowY[r].first,
                                                       m_colX[size_t(c)] - m_colX[size_t(c - 1)], m_rowY[r].second));
                }
            }
        }
        m_p.restore();
        paintFooter(page);
    }

private:
    int firstRowOnPage(const CellRange &m, int row) const
    {
        int first = row;
        while (first > m.row1 && m_rowY.count(first - 1))
            --first;
        return first;
    }

    QRectF mergeRect(const CellRange &m, int firstRow, int lastCol) const
    {
        double h = 0;
        for (int r = firstRow; r <= m.row2 && m_rowY.count(r); ++r)
            h += m_rowY.at(r).second;
        const int c2 = std::min(m.col2, lastCol);
        return QRectF(m_colX[size_t(m.col1 - 1)], m_rowY.at(firstRow).first,
                      m_colX[size_t(c2)] - m_colX[size_t(m.col1 - 1)], h);
    }

    QFont font(const Style &st) const
    {
        QFont f;
        if (!st.fontName.isEmpty())
            f.setFamily(st.fontName);
        // The painter already maps points to the device; the font must not be mapped twice.
        f.setPointSizeF(std::max(1.0, st.fontSize) * m_fontFactor);
        f.setBold(st.bold);
        f.setItalic(st.italic);
        f.setUnderline(st.underline);
        return f;
    }

    void paintCell(int sheet, int col, int row, const QRectF &r)
    {
        const Cell *c = m_book.cell(col, row, sheet);
        const Style &st = m_book.style(c ? c->style : 0);
        if (st.fill.isValid())
            m_p.fillRect(r, st.fill);
        if (c && c->mark == 5)
            hatch(r);
        QString text = m_book.readText(col, row, sheet);
        if (!text.isEmpty()) {
            const QFont f = font(st);
            m_p.setFont(f);
            const QRectF box = r.adjusted(2 + st.indent * 6, 1, -2, -1);
            // As on screen: a number too wide for its cell shows as '#'s, never cut digits.
            if (c->value.type == ValueType::Number) {
                const QFontMetricsF fm(f, m_p.device());
                if (fm.horizontalAdvance(text) > box.width())
                    text = QString(std::max(1, int(box.width() / std::max(0.1, fm.horizontalAdvance(QLatin1Char('#'))))),
                                   QLatin1Char('#'));
            }
            m_p.setPen(st.fontColor.isValid() ? st.fontColor : QColor(Qt::black));
            const int align = st.textAlignment(c->value.type == ValueType::Number);
            m_p.save();
            m_p.setClipRect(r, Qt::IntersectClip);
            m_p.drawText(box, align, text);
            m_p.restore();
        }
        paintBorders(st, r);
    }

    void hatch(const QRectF &r)
    {
        m_p.fillRect(r, QColor(0xE0, 0xE0, 0xE0));
        m_p.save();
        m_p.setClipRect(r, Qt::IntersectClip);
        m_p.setPen(QPen(QColor(0x90, 0x90, 0x90), 0.4));
        for (double d = 0; d < r.width() + r.height(); d += 4)
            m_p.drawLine(QPointF(r.left() + d, r.bottom()), QPointF(r.left() + d - r.height(), r.top()));
        m_p.restore();
    }

    void paintBorders(const Style &st, const QRectF &r)
    {
        const Border *sides[] = {&st.left, &st.top, &st.right, &st.bottom};
        for (int i = 0; i < 4; ++i) {
            const Border &b = *sides[i];
            if (!b.style)
                continue;
            QPen pen(b.color.isValid() ? b.color : QColor(Qt::black));
            pen.setWidthF(b.style == 2 ? 1.0 : b.style == 3 || b.style == 6 ? 1.5 : 0.5);
            pen.setCapStyle(Qt::SquareCap);
            if (b.style == 4)
                pen.setStyle(Qt::DashLine);
            if (b.style == 5)
                pen.setStyle(Qt::DotLine);
            m_p.setPen(pen);
            switch (i) {
            case 0: m_p.drawLine(r.topLeft(), r.bottomLeft()); break;
            case 1: m_p.drawLine(r.topLeft(), r.topRight()); break;
            case 2: m_p.drawLine(r.topRight(), r.bottomRight()); break;
            default: m_p.drawLine(r.bottomLeft(), r.bottomRight()); break;
            }
        }
    }

    void paintFooter(const PrintPage &page)
    {
        const QSizeF area = m_layout.area();
        const QRectF band(0, area.height() - PrintLayout::FooterHeight + 6, area.width(), PrintLayout::FooterHeight - 6);
        QFont f;
        f.setPointSizeF(9 * m_fontFactor);
        m_p.setFont(f);
        m_p.setPen(Qt::black);
        m_p.drawText(band, Qt::AlignLeft | Qt::AlignBottom, m_layout.title());
        m_p.drawText(band, Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("第 %1 页 共 %2 页").arg(page.page).arg(m_layout.pageCount()));
    }

    QPainter &m_p;
    const Workbook &m_book;
    const PrintLayout &m_layout;
    double m_fontFactor;
    std::vector<double> m_colX;
    std::unordered_map<int, std::pair<double, double>> m_rowY; // row -> top, height
};

} // namespace

QPageLayout defaultPrintPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 8),
                       QPageLayout::Millimeter);
}

int printWorkbook(const Workbook &book, QPagedPaintDevice &device, const PrintOptions &options)
{
    const QRectF paint = device.pageLayout().paintRectPoints();
    const PrintLayout layout(book, paint.size(), options);
    if (layout.pageCount() == 0)
        return 0;
    QPainter p;
    if (!p.begin(&device))
        return 0;
    const double dpi = device.logicalDpiY();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const PrintPage &page : layout.pages()) {
        if (page.page > 1 && !device.newPage())
            break;
        p.save();
        p.scale(dpi / 72.0, dpi / 72.0);
        PagePainter(p, book, layout, dpi).paint(page);
        p.restore();
    }
    p.end();
    return layout.pageCount();
}

bool writeWorkbookPdf(const Workbook &book, const QString &path, const PrintOptions &options, QString *error)
{
    const QString shown = QFileInfo(path).absoluteFilePath();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("无法写入文件“%1”，请检查该文件夹是否存在、是否允许写入。").arg(shown);
        return false;
    }
    int pages = 0;
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(defaultPrintPageLayout());
        writer.setCreator(QStringLiteral("Ledgerwell"));
        writer.setTitle(PrintLayout::formTitle(book, options));
        pages = printWorkbook(book, writer, options);
    }
    if (pages == 0) {
        file.cancelWriting();
        *error = QStringLiteral("表格中没有可打印的内容。");
        return false;
    }
    if (!file.commit()) {
        *error = QStringLiteral("无法写入文件“%1”，请检查磁盘空间和写入权限。").arg(shown);
        return false;
    }
    return true;
}

} // namespace lw
