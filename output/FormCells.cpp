// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormCells.h"

#include "NumberFormat.h"
#include "TCell.h"

namespace lw {

namespace {
bool blankOrControl(QChar c)
{
    return c.isSpace() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
}
} // namespace

QString TrimBlanksAndControls(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && blankOrControl(text.at(first)))
        ++first;
    while (last > first && blankOrControl(text.at(last - 1)))
        --last;
    return text.mid(first, last - first);
}

QString FormCells::text(int col, int row, int sheet) const
{
    return m_cell.ReadCellText(col, row, sheet);
}

QString FormCells::number(int col, int row, int sheet) const
{
    return FormatGeneral(value(col, row, sheet));
}

double FormCells::value(int col, int row, int sheet) const
{
    return m_cell.ReadCellNumber(col, row, sheet);
}

bool FormCells::holdsEntry(int row, int sheet) const
{
    return !TrimBlanksAndControls(text(1, row, sheet)).isEmpty();
}

void SetValues(XmlNode list, const QStringList &values)
{
    for (int k = 0; k < values.size(); ++k)
        list.child(k).setText(values.at(k));
}

RowList::RowList(XmlNode list) : m_list(list), m_template(list.child(0).deepCopy())
{
    m_list.removeChild(0);
}

XmlNode RowList::append()
{
    return m_list.appendChild(m_template.deepCopy());
}

} // namespace lw
