// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the rows of a list window, with its column titles, to one Excel worksheet.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace lw {

// Numbers are written as numbers, everything else as text, nulls as empty cells. Raises
// std::runtime_error with the writer's message when the file cannot be written.
void ExportGridXlsx(const QString &path, const QStringList &titles, const QList<QVariantList> &rows);

} // namespace lw
