// SPDX-License-Identifier: GPL-3.0-or-later
#include "Workbook.h"
#include "CellFormat.h"
#include "Engine.h"
#include "Formula.h"

#include <algorithm>

namespace lw {

int Style::textAlignment(bool number) const
{
    int align = 0;
    switch (hAlign) {
    case HAlign::Left: align = Qt::AlignLeft; break;
    case HAlign::Center: align = Qt::AlignHCenter; break;
    case HAlign::Right: align = Qt::AlignRight; break;
    case HAlign::Justify: align = Qt::AlignJustify; break;
    default: align = number ? Qt::AlignRight : Qt::AlignLeft; break;
    }
    align |= vAlign == VAlign::Top ? Qt::AlignTop : vAlign == VAlign::Center ? Qt::AlignVCenter : Qt::AlignBottom;
    if (wrap)
        align |= Qt::TextWordWrap;
    return align;
}

bool Style::operator==(const Style &o) const
{
    return fontName == o.fontName && fontSize == o.fontSize && bold == o.bold && italic == o.italic
        && underline == o.underline && fontColor == o.fontColor && fill == o.fill && hAlign == o.hAlign
        && vAlign == o.vAlign && wrap == o.wrap && indent == o.indent && left == o.left && right == o.right
        && top == o.top && bottom == o.bottom && numberFormat == o.numberFormat && locked == o.locked
        && hidden == o.hidden && mark == o.mark && styleName == o.styleName;
}

QString columnName(int col)
{
    QString s;
    while (col > 0) {
        const int r = (col - 1) % 26;
        s.prepend(QChar('A' + r));
        col = (col - 1) / 26;
    }
    return s;
}

QString cellName(int col, int row)
{
    return columnName(col) + QString::number(row);
}

Cell *Sheet::find(int col, int row) const
{
    auto it = m_cells.find(key(col, row));
    return it == m_cells.end() ? nullptr : const_cast<Cell *>(&it->second);
}

Cell &Sheet::ensure(int col, int row)
{
    auto [it, inserted] = m_cells.try_emplace(key(col, row));
    if (inserted) {
        it->second.col = col;
        it->second.row = row;
        m_maxCol = std::max(m_maxCol, col);
        m_maxRow = std::max(m_maxRow, row);
    }
    return it->second;
}

void Sheet::remove(int col, int row)
{
    m_cells.erase(key(col, row));
}

std::vector<Cell *> Sheet::sortedCells() const
{
    std::vector<Cell *> out;
    out.reserve(m_cells.size());
    for (auto &kv : m_cells)
        out.push_back(const_cast<Cell *>(&kv.second));
    std::sort(out.begin(), out.end(), [](const Cell *a, const Cell *b) {
        return a->row != b->row ? a->row < b->row : a->col < b->col;
    });
    return out;
}

const CellRange *Sheet::mergeAt(int col, int row) const
{
    for (const CellRange &m : merges)
        if (m.contains(col, row))
            return &m;
    return nullptr;
}

Workbook::Workbook() : m_engine(std::make_unique<Engine>(*this))
{
    m_styles.push_back(Style());
}

Workbook::~Workbook() = default;

void Workbook::clear()
{
    m_engine->clear();
    m_sheets.clear();
    m_names.clear();
    m_styles.assign(1, Style());
    m_formats.clear();
}

Sheet *Workbook::sheet(int index) const
{
    return index >= 0 && index < int(m_sheets.size()) ? m_sheets[index].get() : nullptr;
}

int Workbook::sheetIndex(const QString &name) const
{
    for (size_t i = 0; i < m_sheets.size(); ++i)
        if (m_sheets[i]->name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

Sheet &Workbook::addSheet(const QString &name)
{
    m_sheets.push_back(std::make_unique<Sheet>());
    m_sheets.back()->name = name;
    m_engine->structureChanged();
    return *m_sheets.back();
}

void Workbook::addDefinedName(const DefinedName &name)
{
    m_names.push_back(name);
    m_engine->structureChanged();
}

bool Workbook::resolveName(const QString &name, int formulaSheet, int *sheet, CellRange *rect) const
{
    const DefinedName *found = nullptr;
    for (const DefinedName &d : m_names) {
        if (d.name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (d.localSheet == formulaSheet) {
            found = &d; // a sheet's own name hides a workbook-wide one
            break;
        }
        if (d.localSheet < 0)
            found = &d;
    }
    if (!found)
        return false;
    QString ref = found->reference.trimmed();
    if (ref.startsWith(QLatin1Char('=')))
        ref = ref.mid(1);
    int si = found->localSheet >= 0 ? found->localSheet : formulaSheet;
    const int bang = ref.lastIndexOf(QLatin1Char('!'));
    if (bang >= 0) {
        QString s = ref.left(bang);
        if (s.size() >= 2 && s.startsWith(QLatin1Char('\'')) && s.endsWith(QLatin1Char('\'')))
            s = s.mid(1, s.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
        si = sheetIndex(s);
        ref = ref.mid(bang + 1);
    }
    ref.remove(QLatin1Char('$'));
    if (si < 0 || ref.contains(QLatin1Char(',')))
        return false;
    *sheet = si;
    return parseRangeAddress(ref, &rect->col1, &rect->row1, &rect->col2, &rect->row2);
}

const Style &Workbook::style(int index) const
{
    return index >= 0 && index < int(m_styles.size()) ? m_styles[index] : m_styles.front();
}

int Workbook::addStyle(const Style &style)
{
    for (size_t i = 0; i < m_styles.size(); ++i)
        if (m_styles[i] == style)
            return int(i);
    m_styles.push_back(style);
    return int(m_styles.size() - 1);
}

int Workbook::appendStyle(const Style &style)
{
    m_styles.push_back(style);
    return int(m_styles.size() - 1);
}

const CellFormat &Workbook::numberFormat(int styleIndex) const
{
    const int i = styleIndex >= 0 && styleIndex < int(m_styles.size()) ? styleIndex : 0;
    if (m_formats.size() < m_styles.size())
        m_formats.resize(m_styles.size());
    if (!m_formats[i])
        m_formats[i] = std::make_unique<CellFormat>(m_styles[i].numberFormat);
    return *m_formats[i];
}

Cell *Workbook::cell(int col, int row, int sheet) const
{
    Sheet *s = this->sheet(sheet);
    return s ? s->find(col, row) : nullptr;
}

Cell *Workbook::ensureCell(int col, int row, int sheet)
{
    Sheet *s = this->sheet(sheet);
    if (!s || col < 1 || col > MaxCol || row < 1 || row > MaxRow)
        return nullptr;
    if (Cell *c = s->find(col, row))
        return c;
    m_engine->structureChanged();
    return &s->ensure(col, row);
}

bool Workbook::setFormula(int col, int row, int sheet, const QString &text)
{
    Cell *c = ensureCell(col, row, sheet);
    if (!c)
        return false;
    m_engine->setFormula(*c, sheet, text);
    return true;
}

QString Workbook::formulaText(const Cell &cell) const
{
    return cell.formula >= 0 ? m_engine->entry(cell.formula).text : QString();
}

void Workbook::setValue(int col, int row, int sheet, const Value &value)
{
    if (Cell *c = ensureCell(col, row, sheet))
        c->value = value;
}

void Workbook::recalculate()
{
    m_engine->recalculate();
}

QString Workbook::readText(int col, int row, int sheet) const
{
    const Cell *c = cell(col, row, sheet);
    if (!c || c->value.isEmpty())
        return QString();
    return numberFormat(c->style).format(c->value);
}

double Workbook::readNumber(int col, int row, int sheet) const
{
    const Cell *c = cell(col, row, sheet);
    if (!c)
        return 0;
    double x = 0;
    switch (c->value.type) {
    case ValueType::Number:
    case ValueType::Bool: return c->value.number;
    case ValueType::Text: return parseNumericText(c->value.text, &x) ? x : 0;
    default: return 0;
    }
}

void Workbook::writeText(int col, int row, int sheet, const QString &text)
{
    setValue(col, row, sheet, text.isEmpty() ? Value() : Value::fromText(text));
}

void Workbook::writeNumber(int col, int row, int sheet, double value)
{
    setValue(col, row, sheet, Value::fromNumber(value));
}

int Workbook::readMark(int col, int row, int sheet) const
{
    const Cell *c = cell(col, row, sheet);
    return c ? c->mark : 0;
}

void Workbook::writeMark(int col, int row, int sheet, int mark)
{
    if (Cell *c = ensureCell(col, row, sheet))
        c->mark = mark;
}

bool Workbook::isInputCell(int col, int row, int sheet) const
{
    const Cell *c = cell(col, row, sheet);
    if (!c)
        return !style(0).locked;
    return !style(c->style).locked && c->formula < 0 && c->mark != 5;
}

} // namespace lw
