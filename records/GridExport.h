// SPDX-License-Identifier: GPL-3.0-or-later
// Writes every row of a grid, with its visible columns and their titles, to an Excel worksheet.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QTableWidget;

namespace lw {

// Asks for a file through the save dialog ("Excel(*.xlsx)"); false when cancelled. Raises
// std::runtime_error when the file cannot be written.
bool ExportGridWithDialog(const QTableWidget *grid, const QString &suggestedName = QString());
void ExportGridToXlsx(const QTableWidget *grid, const QString &path);
// Rows under their column titles: numbers written as numbers, everything else as text, nulls as
// empty cells. Raises std::runtime_error with the writer's message when the file cannot be written.
void ExportGridXlsx(const QString &path, const QStringList &titles, const QList<QVariantList> &rows);

} // namespace lw
