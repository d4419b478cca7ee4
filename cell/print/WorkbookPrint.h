// SPDX-License-Identifier: GPL-3.0-or-later
// Printing a workbook as the grid shows it (merges, borders, fonts, alignment, number formats,
// hatched not-applicable cells; no grid lines or headers) on a printer or into a PDF whose text
// stays text.
#pragma once

#include "PrintLayout.h"

#include <QPageLayout>

class QPagedPaintDevice;

namespace lw {

// A4 landscape with narrow margins: the forms are wide tables.
QPageLayout defaultPrintPageLayout();

// Paints every page on the device, with the device's own page layout; returns the number of
// pages, 0 when painting could not start.
int printWorkbook(const Workbook &book, QPagedPaintDevice &device, const PrintOptions &options);

// Writes the pages as a PDF in the default layout. False, with a message for the user, when
// the file cannot be written; an existing file is then left as it was.
bool writeWorkbookPdf(const Workbook &book, const QString &path, const PrintOptions &options, QString *error);

} // namespace lw
