// SPDX-License-Identifier: GPL-3.0-or-later
// The workbook model: sheets of cells with values, formulas, styles, marks, merges and sizes.
#pragma once

#include "Value.h"

#include <QColor>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <unordered_map>
#include <vector>

namespace lw {

class Engine;
class CellFormat;

enum class HAlign : std::uint8_t { General, Left, Center, Right, Fill, Justify };
enum class VAlign : std::uint8_t { Bottom, Top, Center };

struct Border
{
    std::uint8_t style = 0; // 0 none, 1 thin, 2 medium, 3 thick, 4 dashed, 5 dotted, 6 double
    QColor color;
    bool operator==(const Border &o) const { return style == o.style && color == o.color; }
};

struct Style
{
    QString fontName;
    double fontSize = 11;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QColor fontColor;            // invalid = automatic
    QColor fill;                 // invalid = none
    HAlign hAlign = HAlign::General;
    VAlign vAlign = VAlign::Bottom;
    bool wrap = false;
    int indent = 0;
    Border left, right, top, bottom;
    QString numberFormat = QStringLiteral("General");
    bool locked = true;
    bool hidden = false;
    int mark = 0;                // from a named cell style "MarkN"
    QString styleName;           // the named cell style it derives from

    bool operator==(const Style &o) const;
    // How a cell's text sits in its box (Qt::Alignment flags), on screen and on paper alike:
    // a general alignment puts numbers right and text left.
    int textAlignment(bool number) const;
};

struct Cell
{
    int col = 0; // 1 = A
    int row = 0; // 1-based
    Value value; // for a formula cell its last result (or a value written over it)
    int formula = -1; // index into the engine's formulas, -1 for none
    int style = 0;
    int mark = 0;
};

struct CellRange
{
    int col1 = 0, row1 = 0, col2 = 0, row2 = 0;
    bool contains(int col, int row) const { return col >= col1 && col <= col2 && row >= row1 && row <= row2; }
    bool operator==(const CellRange &o) const
    {
        return col1 == o.col1 && row1 == o.row1 && col2 == o.col2 && row2 == o.row2;
    }
};

// Grid limits of the xlsx format.
constexpr int MaxCol = 16384;
constexpr int MaxRow = 1048576;

class Sheet
{
public:
    QString name;
    std::vector<CellRange> merges;
    QHash<int, double> colWidths;  // in characters, by column
    QHash<int, double> rowHeights; // in points, by row
    double defaultColWidth = 8.43;
    double defaultRowHeight = 15;
    // Rows printed at the top of every page (the sheet's print titles); 0 when none.
    int titleRowFirst = 0;
    int titleRowLast = 0;

    Cell *find(int col, int row) const;
    Cell &ensure(int col, int row);
    void remove(int col, int row);
    int cellCount() const { return int(m_cells.size()); }
    int maxCol() const { return m_maxCol; }
    int maxRow() const { return m_maxRow; }
    // Cells in row-major order (stable pointers; the map never moves its nodes).
    std::vector<Cell *> sortedCells() const;
    // The merged range whose top-left or inner cell this is, or null.
    const CellRange *mergeAt(int col, int row) const;

    static quint64 key(int col, int row) { return (quint64(quint32(row)) << 16) | quint32(col); }

private:
    std::unordered_map<quint64, Cell> m_cells;
    int m_maxCol = 0;
    int m_maxRow = 0;
};

class Workbook
{
public:
    Workbook();
    ~Workbook();
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    void clear();

    int sheetCount() const { return int(m_sheets.size()); }
    Sheet *sheet(int index) const;
    int sheetIndex(const QString &name) const; // case-insensitive, -1 when missing
    Sheet &addSheet(const QString &name);

    const Style &style(int index) const;
    int addStyle(const Style &style); // reuses an equal style
    int appendStyle(const Style &style); // no search, for a reader's many formats
    int styleCount() const { return int(m_styles.size()); }
    const CellFormat &numberFormat(int styleIndex) const;

    Cell *cell(int col, int row, int sheet) const;
    Cell *ensureCell(int col, int row, int sheet); // null for a bad address

    // Formula text without the leading '='; text that is no formula evaluates to #NAME?.
    // False only for a bad address.
    bool setFormula(int col, int row, int sheet, const QString &text);
    QString formulaText(const Cell &cell) const; // without '='; empty for none
    void setValue(int col, int row, int sheet, const Value &value); // keeps a formula

    void recalculate();
    Engine &engine() { return *m_engine; }

    // Defined names: a name (sheet-local when localSheet >= 0) and the reference it stands for,
    // as written ("'主表'!$B$2:$B$9").
    struct DefinedName
    {
        QString name;
        int localSheet = -1;
        QString reference;
    };
    void addDefinedName(const DefinedName &name);
    const std::vector<DefinedName> &definedNames() const { return m_names; }
    // The one cell or range a name refers to, seen from a formula on formulaSheet.
    bool resolveName(const QString &name, int formulaSheet, int *sheet, CellRange *rect) const;

    // The operations of the control, shared by the widget and the command-line tool.
    QString readText(int col, int row, int sheet) const;
    double readNumber(int col, int row, int sheet) const;
    void writeText(int col, int row, int sheet, const QString &text);
    void writeNumber(int col, int row, int sheet, double value);
    int readMark(int col, int row, int sheet) const;
    void writeMark(int col, int row, int sheet, int mark);

    // Editability for the user: unlocked, no formula, not marked 5.
    bool isInputCell(int col, int row, int sheet) const;

private:
    std::vector<std::unique_ptr<Sheet>> m_sheets;
    std::vector<Style> m_styles;
    std::vector<DefinedName> m_names;
    mutable std::vector<std::unique_ptr<CellFormat>> m_formats;
    std::unique_ptr<Engine> m_engine;
};

// Column letters for 1-based col ("A", "AB"); "A1"-style address.
QString columnName(int col);
QString cellName(int col, int row);

} // namespace lw
