// SPDX-License-Identifier: GPL-3.0-or-later
#include "GridView.h"
#include "TCell.h"

#include "CellFormat.h"
#include "Workbook.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace lw {

GridView::GridView(TCell *control, QWidget *parent) : QAbstractScrollArea(parent), m_control(control)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setFocusProxy(this);
    setObjectName(QStringLiteral("grid"));
    relayout();
}

Sheet *GridView::sheet() const
{
    return m_book ? m_book->sheet(m_sheet) : nullptr;
}

void GridView::setSheet(Workbook *book, int sheet)
{
    m_book = book;
    m_sheet = sheet;
    m_col = 1;
    m_row = 1;
    relayout();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

void GridView::relayout()
{
    // Sizes follow the screen's logical DPI, so the sheet reads the same at 150 % scaling.
    const double dpi = std::max(72.0, double(logicalDpiY()));
    const double px = dpi / 96.0;
    const Sheet *s = sheet();
    m_cols = std::max(26, (s ? s->maxCol() : 0) + 2);
    m_rows = std::max(50, (s ? s->maxRow() : 0) + 5);
    if (s)
        for (const CellRange &m : s->merges) {
            m_cols = std::max(m_cols, std::min(m.col2, 1000) + 1);
            m_rows = std::max(m_rows, std::min(m.row2, 100000) + 1);
        }
    m_cols = std::min(m_cols, MaxCol);
    m_rows = std::min(m_rows, MaxRow);
    m_colX.assign(size_t(m_cols) + 1, 0);
    for (int c = 1; c <= m_cols; ++c) {
        const double chars = s ? s->colWidths.value(c, s->defaultColWidth) : 8.43;
        m_colX[c] = m_colX[c - 1] + (chars > 0 ? int(chars * 7 * px + 5 * px) : 0);
    }
    m_rowY.assign(size_t(m_rows) + 1, 0);
    for (int r = 1; r <= m_rows; ++r) {
        const double pt = s ? s->rowHeights.value(r, s->defaultRowHeight) : 15;
        m_rowY[r] = m_rowY[r - 1] + int(pt * dpi / 72.0);
    }
    m_headerW = int(40 * px);
    m_headerH = int(20 * px);
    horizontalScrollBar()->setRange(0, std::max(0, m_colX.back() - viewport()->width() + m_headerW));
    verticalScrollBar()->setRange(0, std::max(0, m_rowY.back() - viewport()->height() + m_headerH));
    horizontalScrollBar()->setSingleStep(int(20 * px));
    verticalScrollBar()->setSingleStep(int(20 * px));
}

void GridView::noteCell(int col, int row)
{
    if (col + 2 > m_cols || row + 5 > m_rows)
        relayout();
    viewport()->update();
}

int GridView::colX(int col) const
{
    col = std::clamp(col, 1, m_cols + 1);
    return m_colX[size_t(col - 1)];
}

int GridView::rowY(int row) const
{
    row = std::clamp(row, 1, m_rows + 1);
    return m_rowY[size_t(row - 1)];
}

int GridView::colAt(int x) const
{
    const auto it = std::upper_bound(m_colX.begin(), m_colX.end(), x);
    return std::clamp(int(it - m_colX.begin()), 1, m_cols);
}

int GridView::rowAt(int y) const
{
    const auto it = std::upper_bound(m_rowY.begin(), m_rowY.end(), y);
    return std::clamp(int(it - m_rowY.begin()), 1, m_rows);
}

QRect GridView::cellRect(int col, int row) const
{
    int c2 = col, r2 = row;
    if (const Sheet *s = sheet())
        if (const CellRange *m = s->mergeAt(col, row)) {
            col = m->col1;
            row = m->row1;
            c2 = m->col2;
            r2 = m->row2;
        }
    const int x = colX(col) - horizontalScrollBar()->value() + m_headerW;
    const int y = rowY(row) - verticalScrollBar()->value() + m_headerH;
    return QRect(x, y, colX(c2 + 1) - colX(col), rowY(r2 + 1) - rowY(row));
}

void GridView::setCurrentCell(int col, int row)
{
    if (const Sheet *s = sheet())
        if (const CellRange *m = s->mergeAt(col, row)) {
            col = m->col1;
            row = m->row1;
        }
    m_col = std::clamp(col, 1, m_cols);
    m_row = std::clamp(row, 1, m_rows);
    ensureVisible(m_col, m_row);
    viewport()->update();
}

void GridView::move(int dcol, int drow)
{
    int col = m_col, row = m_row;
    // Step out of a merged range from its far edge.
    if (const Sheet *s = sheet())
        if (const CellRange *m = s->mergeAt(col, row)) {
            if (dcol > 0) col = m->col2;
            if (drow > 0) row = m->row2;
        }
    int nc = std::clamp(col + dcol, 1, m_cols), nr = std::clamp(row + drow, 1, m_rows);
    // Hidden columns and rows are stepped over.
    while (dcol && nc > 1 && nc < m_cols && colX(nc + 1) == colX(nc))
        nc += dcol;
    while (drow && nr > 1 && nr < m_rows && rowY(nr + 1) == rowY(nr))
        nr += drow;
    setCurrentCell(nc, nr);
}

void GridView::ensureVisible(int col, int row)
{
    const QRect r = cellRect(col, row);
    const QRect area = viewport()->rect().adjusted(m_headerW, m_headerH, 0, 0);
    if (r.left() < area.left())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (area.left() - r.left()));
    else if (r.right() > area.right() && r.width() < area.width())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + (r.right() - area.right()));
    if (r.top() < area.top())
        verticalScrollBar()->setValue(verticalScrollBar()->value() - (area.top() - r.top()));
    else if (r.bottom() > area.bottom() && r.height() < area.height())
        verticalScrollBar()->setValue(verticalScrollBar()->value() + (r.bottom() - area.bottom()));
}

void GridView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void GridView::scrollContentsBy(int, int)
{
    m_control->placeEditor();
    viewport()->update();
}

QFont GridView::cellFont(const Style &st) const
{
    QFont f = font();
    if (!st.fontName.isEmpty())
        f.setFamily(st.fontName);
    f.setPointSizeF(st.fontSize);
    f.setBold(st.bold);
    f.setItalic(st.italic);
    f.setUnderline(st.underline);
    return f;
}

QString GridView::fittedText(int col, int row, const QRect &r) const
{
    const Cell *c = m_book ? m_book->cell(col, row, m_sheet) : nullptr;
    if (!c)
        return QString();
    const QString text = m_book->readText(col, row, m_sheet);
    if (c->value.type != ValueType::Number || text.isEmpty())
        return text;
    // Cut digits would show a different amount: a number that does not fit shows as '#'s.
    const Style &st = m_book->style(c->style);
    const QFontMetrics fm(cellFont(st));
    const int room = r.width() - 6 - st.indent * 8;
    if (fm.horizontalAdvance(text) <= room)
        return text;
    return QString(std::max(1, room / std::max(1, fm.horizontalAdvance(QLatin1Char('#')))), QLatin1Char('#'));
}

QString GridView::shownText(int col, int row) const
{
    return fittedText(col, row, cellRect(col, row));
}

void GridView::paintCell(QPainter &p, int col, int row, const QRect &r, bool merged)
{
    const Cell *c = m_book->cell(col, row, m_sheet);
    const Style &st = m_book->style(c ? c->style : 0);
    // A fill covers the grid lines; a merged range hides only the lines inside it.
    if (st.fill.isValid())
        p.fillRect(r, st.fill);
    else if (merged)
        p.fillRect(r.adjusted(1, 1, 0, 0), Qt::white);
    if (c && c->mark == 5) {
        // Not applicable: grey hatching that refuses input.
        p.fillRect(r, QColor(0xE0, 0xE0, 0xE0));
        p.fillRect(r, QBrush(QColor(0x90, 0x90, 0x90), Qt::BDiagPattern));
    }
    const QString text = fittedText(col, row, r);
    if (!text.isEmpty()) {
        p.setFont(cellFont(st));
        p.setPen(st.fontColor.isValid() ? st.fontColor : QColor(Qt::black));
        const int align = st.textAlignment(c->value.type == ValueType::Number);
        p.drawText(r.adjusted(3 + st.indent * 8, 1, -3, -1), align, text);
    }
    const Border *sides[] = {&st.left, &st.top, &st.right, &st.bottom};
    for (int i = 0; i < 4; ++i) {
        if (!sides[i]->style)
            continue;
        QPen pen(sides[i]->color.isValid() ? sides[i]->color : QColor(Qt::black));
        pen.setWidth(sides[i]->style == 2 ? 2 : sides[i]->style == 3 ? 3 : 1);
        if (sides[i]->style == 4) pen.setStyle(Qt::DashLine);
        if (sides[i]->style == 5) pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        switch (i) {
        case 0: p.drawLine(r.topLeft(), r.bottomLeft()); break;
        case 1: p.drawLine(r.topLeft(), r.topRight()); break;
        case 2: p.drawLine(r.topRight(), r.bottomRight()); break;
        default: p.drawLine(r.bottomLeft(), r.bottomRight()); break;
        }
    }
}

void GridView::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), Qt::white);
    if (!sheet())
        return;
    const int sx = horizontalScrollBar()->value(), sy = verticalScrollBar()->value();
    const int c1 = colAt(sx), c2 = colAt(sx + viewport()->width());
    const int r1 = rowAt(sy), r2 = rowAt(sy + viewport()->height());
    const QColor gridColor(0xD8, 0xD8, 0xD8);
    p.setClipRect(viewport()->rect().adjusted(m_headerW, m_headerH, 0, 0));
    // Light grid lines first, then the cells over them.
    p.setPen(gridColor);
    for (int c = c1; c <= c2 + 1; ++c)
        p.drawLine(colX(c) - sx + m_headerW, m_headerH, colX(c) - sx + m_headerW, viewport()->height());
    for (int r = r1; r <= r2 + 1; ++r)
        p.drawLine(m_headerW, rowY(r) - sy + m_headerH, viewport()->width(), rowY(r) - sy + m_headerH);
    const Sheet *s = sheet();
    for (int r = r1; r <= r2; ++r) {
        for (int c = c1; c <= c2; ++c) {
            const CellRange *m = s->mergeAt(c, r);
            if (m && !(c == std::max(m->col1, c1) && r == std::max(m->row1, r1)))
                continue; // a merged range is drawn once, from its first visible cell
            const int col = m ? m->col1 : c, row = m ? m->row1 : r;
            const Cell *cell = s->find(col, row);
            const QRect rect = cellRect(col, row);
            if (!cell && !m)
                continue;
            paintCell(p, col, row, rect, m != nullptr);
        }
    }
    // The current cell: a clear double-width frame.
    QPen focus(QColor(0x10, 0x5E, 0xC8));
    focus.setWidth(3);
    p.setPen(focus);
    p.setBrush(Qt::NoBrush);
    p.drawRect(cellRect(m_col, m_row).adjusted(1, 1, -1, -1));
    // Headers
    p.setClipping(false);
    p.setFont(font());
    const QColor headerBg(0xF0, 0xF0, 0xF0);
    p.fillRect(QRect(0, 0, viewport()->width(), m_headerH), headerBg);
    p.fillRect(QRect(0, 0, m_headerW, viewport()->height()), headerBg);
    p.setPen(QColor(0x60, 0x60, 0x60));
    for (int c = c1; c <= c2; ++c) {
        const QRect hr(colX(c) - sx + m_headerW, 0, colX(c + 1) - colX(c), m_headerH);
        if (hr.right() < m_headerW)
            continue;
        p.drawText(hr, Qt::AlignCenter, columnName(c));
    }
    for (int r = r1; r <= r2; ++r) {
        const QRect hr(0, rowY(r) - sy + m_headerH, m_headerW, rowY(r + 1) - rowY(r));
        if (hr.bottom() < m_headerH)
            continue;
        p.drawText(hr, Qt::AlignCenter, QString::number(r));
    }
}

bool GridView::event(QEvent *event)
{
    // Tab moves between cells, not out of the grid.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void GridView::keyPressEvent(QKeyEvent *event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Left: move(-1, 0); return;
    case Qt::Key_Right: move(1, 0); return;
    case Qt::Key_Up: move(0, -1); return;
    case Qt::Key_Down: move(0, 1); return;
    case Qt::Key_Tab: move(1, 0); return;
    case Qt::Key_Backtab: move(-1, 0); return;
    case Qt::Key_Return:
    case Qt::Key_Enter: move(0, shift ? -1 : 1); return;
    case Qt::Key_Home: setCurrentCell(1, m_row); return;
    case Qt::Key_PageDown: move(0, std::max(1, viewport()->height() / std::max(1, rowY(2) - rowY(1)) - 1)); return;
    case Qt::Key_PageUp: move(0, -std::max(1, viewport()->height() / std::max(1, rowY(2) - rowY(1)) - 1)); return;
    case Qt::Key_F2: m_control->beginEdit(QString(), false); return;
    case Qt::Key_Delete:
        if (m_control->beginEdit(QString(), true))
            m_control->commitEdit();
        return;
    default: break;
    }
    const QString text = event->text();
    if (!text.isEmpty() && text[0].isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        m_control->beginEdit(text, true);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void GridView::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (pos.x() < m_headerW || pos.y() < m_headerH)
        return;
    m_control->commitEdit();
    if (m_control->isEditing())
        return; // the entry was refused: the edit stays on its cell
    setCurrentCell(colAt(pos.x() - m_headerW + horizontalScrollBar()->value()),
                   rowAt(pos.y() - m_headerH + verticalScrollBar()->value()));
    setFocus();
}

void GridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
    m_control->beginEdit(QString(), false);
}

} // namespace lw
