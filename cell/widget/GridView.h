// SPDX-License-Identifier: GPL-3.0-or-later
// The grid of one sheet: draws cells with their styles, merges and marks, moves the current
// cell like a spreadsheet, and asks its control to start, commit or cancel an edit.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QRect>

namespace lw {

class TCell;
class Workbook;
class Sheet;
struct Style;

class GridView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    GridView(TCell *control, QWidget *parent = nullptr);

    void setSheet(Workbook *book, int sheet);
    int sheetIndex() const { return m_sheet; }
    int currentCol() const { return m_col; }
    int currentRow() const { return m_row; }
    void setCurrentCell(int col, int row);
    // The on-screen rectangle of a cell (of its merged range), in viewport coordinates.
    QRect cellRect(int col, int row) const;
    void relayout();
    // Grows the grid when a cell is written beyond its current extent.
    void noteCell(int col, int row);
    // The text drawn in a cell (of its merged range): a number too wide shows as "###…".
    QString shownText(int col, int row) const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    Sheet *sheet() const;
    int colX(int col) const; // left edge of a column in content coordinates
    int rowY(int row) const;
    int colAt(int x) const;
    int rowAt(int y) const;
    void move(int dcol, int drow);
    void ensureVisible(int col, int row);
    void paintCell(QPainter &p, int col, int row, const QRect &r, bool merged);
    QFont cellFont(const Style &st) const;
    QString fittedText(int col, int row, const QRect &r) const;

    TCell *m_control;
    Workbook *m_book = nullptr;
    int m_sheet = -1;
    int m_col = 1;
    int m_row = 1;
    int m_cols = 26;
    int m_rows = 50;
    std::vector<int> m_colX; // prefix sums, index 0 = column 1's left
    std::vector<int> m_rowY;
    int m_headerW = 40;
    int m_headerH = 20;
};

} // namespace lw
