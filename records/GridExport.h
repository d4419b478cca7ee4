// SPDX-License-Identifier: GPL-3.0-or-later
// Writes every row of a grid, with its visible columns and their titles, to an Excel worksheet.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QTableWidget;

namespace lw {

// A grid item may carry the value to export under this role (a number shown as formatted text);
// without it the item's text is written as text.
constexpr int kExportValueRole = Qt::UserRole + 1;
// The cell format of money columns in every export.
inline QString MoneyFormat() { return QStringLiteral("#,##0.00"); }

// Asks for a file through the save dialog ("Excel(*.xlsx)"); empty when cancelled. The file always
// ends in ".xlsx": a typed ".xls" becomes ".xlsx", any other name gains it.
QString AskExportPath(const QString &suggestedName = QString());
QString ExportPathFor(const QString &chosen);

// Asks for a file and writes the grid; false when cancelled. formats as for ExportGridXlsx, by
// grid column. Raises std::runtime_error when the file cannot be written.
bool ExportGridWithDialog(const QTableWidget *grid, const QString &suggestedName = QString(),
                          const QStringList &formats = QStringList());
void ExportGridToXlsx(const QTableWidget *grid, const QString &path, const QStringList &formats = QStringList());
// Rows under their column titles: numbers written as numbers (in the column's number format when
// formats names one, else Excel's general format), everything else as text, nulls as empty cells.
// Raises std::runtime_error with the writer's message when the file cannot be written.
void ExportGridXlsx(const QString &path, const QStringList &titles, const QList<QVariantList> &rows,
                    const QStringList &formats = QStringList());

} // namespace lw
