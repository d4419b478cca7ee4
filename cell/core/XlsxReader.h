// SPDX-License-Identifier: GPL-3.0-or-later
// Reads an .xlsx template into a workbook. Hostile or broken files end in an error message,
// never a crash or a hang: sizes, counts and nesting are capped and DTDs refused.
#pragma once

#include <QByteArray>
#include <QString>

namespace lw {

class Workbook;

// On failure the workbook is left empty and error holds a message for the user.
bool readXlsxFile(const QString &path, Workbook &book, QString *error);
bool readXlsxData(const QByteArray &data, Workbook &book, QString *error);

} // namespace lw
