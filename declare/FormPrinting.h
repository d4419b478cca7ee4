// SPDX-License-Identifier: GPL-3.0-or-later
// "打印" and "导出PDF" of the declaration window and the loss ledger: the filled form as the
// control shows it, on paper or as a PDF file.
#pragma once

#include <QString>

#include <functional>

class QPrintPreviewDialog;
class QWidget;

namespace lw {

class TCell;

// Shows the print preview (with its printer dialog). Tests install a runner so no dialog
// blocks; an empty runner restores the modal dialog.
using PrintPreviewRunner = std::function<void(QPrintPreviewDialog &)>;
void SetPrintPreviewRunner(PrintPreviewRunner runner);

// Both commit an edit in progress and recalculate first, so the paper shows what the screen does.
void PrintForm(TCell &cell, const QString &documentName, QWidget *parent);
// Asks for the file through the save dialog; a cancelled dialog writes nothing. False when
// nothing was written.
bool ExportFormPdf(TCell &cell, const QString &proposedName);

// "季度预缴_440106700012345_2026-10-01_2026-12-31.pdf"; empty parts, and a code that may not
// become part of a file name, are left out.
QString ProposedPdfName(const QString &caption, const QString &taxCode, const QString &qsrq, const QString &zzrq);

} // namespace lw
