// SPDX-License-Identifier: GPL-3.0-or-later
// The declaration window's "打印" and "导出PDF".
#include "untRpt.h"

#include "FormPrinting.h"
#include "TCell.h"
#include "untDm.h"

#include <QLineEdit>

namespace lw {

QString TfrmRpt::proposedPdfName() const
{
    auto &q = dm()->adoQry1;
    q.select(QStringLiteral("select swglm from psn"));
    const QString code = q.IsEmpty() ? QString() : q.text(QStringLiteral("swglm"));
    // The period as the date fields hold it now; a field without a date is left out.
    const QDate start = ParsePeriodText(qsrqDateEdit->text());
    const QDate end = ParsePeriodText(zzrqDateEdit->text());
    return ProposedPdfName(windowTitle(), code, start.isValid() ? PeriodText(start) : QString(),
                           end.isValid() ? PeriodText(end) : QString());
}

void TfrmRpt::TeSpBtnPrintClick()
{
    PrintForm(*CellInfo, proposedPdfName().chopped(4), this);
}

void TfrmRpt::TeSpBtnPdfClick()
{
    ExportFormPdf(*CellInfo, proposedPdfName());
}

} // namespace lw
