// SPDX-License-Identifier: GPL-3.0-or-later
// Writes every row of a grid, with its visible columns and their titles, to an Excel worksheet.
#pragma once
#include <QString>

class QTableWidget;

namespace lw {

// Asks for a file through the save dialog ("Excel(*.xlsx)"); false when cancelled. Raises
// std::runtime_error when the file cannot be written.
bool ExportGridWithDialog(const QTableWidget *grid, const QString &suggestedName = QString());
void ExportGridToXlsx(const QTableWidget *grid, const QString &path);

} // namespace lw
