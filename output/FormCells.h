// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a filled form for its documents: cells as text or as numbers in the general format,
// the investor-row test, and the filling of value lists and row lists by position.
#pragma once

#include "XmlDoc.h"

#include <QString>
#include <QStringList>

namespace lw {

class TCell;

// Leading and trailing blanks (any Unicode space) and control characters removed.
QString TrimBlanksAndControls(const QString &text);

class FormCells
{
public:
    explicit FormCells(TCell &cell) : m_cell(cell) {}

    QString text(int col, int row, int sheet) const;
    // The cell's number in the general format: 0 for an empty cell.
    QString number(int col, int row, int sheet) const;
    double value(int col, int row, int sheet) const;
    // A row holds an investor (or member) when its column 1 holds more than blanks.
    bool holdsEntry(int row, int sheet) const;

private:
    TCell &m_cell;
};

// Sets the children of a value list in turn.
void SetValues(XmlNode list, const QStringList &values);

// A row list: its first child is the row template, taken out before any row is written; every
// row appended is a fresh copy of it, at the end of the list.
class RowList
{
public:
    explicit RowList(XmlNode list);
    XmlNode append();

private:
    XmlNode m_list;
    XmlNode m_template;
};

} // namespace lw
