// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormPrinting.h"

#include "ExchangeDoc.h"
#include "MessageBoxes.h"
#include "TCell.h"
#include "UserInteraction.h"
#include "Workbook.h"
#include "WorkbookPrint.h"

#include <QComboBox>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>

namespace lw {

namespace {

PrintPreviewRunner &previewRunner()
{
    static PrintPreviewRunner runner;
    return runner;
}

void prepare(TCell &cell)
{
    cell.CommitPendingEdit();
    cell.RecalculateWorkbook();
}

} // namespace

void SetPrintPreviewRunner(PrintPreviewRunner runner)
{
    previewRunner() = std::move(runner);
}

void PrintForm(TCell &cell, const QString &documentName, QWidget *parent)
{
    prepare(cell);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(defaultPrintPageLayout());
    printer.setDocName(documentName);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("dlgPrintPreview"));
    dialog.setWindowTitle(QStringLiteral("打印预览"));
    PrintOptions options;
    const int current = cell.ActiveSheetIndex();
    // All sheets with something filled in, or the sheet on screen even when it is empty.
    auto *sheets = new QComboBox(&dialog);
    sheets->setObjectName(QStringLiteral("cbxSheets"));
    sheets->addItems({QStringLiteral("全部工作表"), QStringLiteral("当前工作表")});
    if (auto *bar = dialog.findChild<QToolBar *>()) {
        bar->addSeparator();
        bar->addWidget(new QLabel(QStringLiteral(" 打印范围 "), bar));
        bar->addWidget(sheets);
    }
    QObject::connect(sheets, &QComboBox::currentIndexChanged, &dialog, [&dialog, &options, current](int index) {
        options.sheets.clear();
        if (index == 1)
            options.sheets.push_back(current);
        if (auto *preview = dialog.findChild<QPrintPreviewWidget *>())
            preview->updatePreview();
    });
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&cell, &options](QPrinter *target) { printWorkbook(cell.workbook(), *target, options); });
    if (previewRunner())
        previewRunner()(dialog);
    else
        dialog.exec();
}

bool ExportFormPdf(TCell &cell, const QString &proposedName)
{
    prepare(cell);
    const QString path = UserInteraction::current().saveFileName(QStringLiteral("导出PDF"), proposedName,
                                                                 QStringLiteral("PDF文件(*.pdf)"));
    if (path.isEmpty())
        return false;
    QString error;
    if (!writeWorkbookPdf(cell.workbook(), path, PrintOptions(), &error)) {
        ErrorBox(error);
        return false;
    }
    return true;
}

QString ProposedPdfName(const QString &caption, const QString &taxCode, const QString &qsrq, const QString &zzrq)
{
    QStringList parts;
    for (const QString &part : {caption, IsSafeTaxCode(taxCode) ? taxCode : QString(), qsrq, zzrq})
        if (!part.trimmed().isEmpty())
            parts << part.trimmed();
    QString name = parts.join(QLatin1Char('_'));
    // A caption or a typed date could carry a path separator; the proposal stays one name.
    for (const QChar bad : {QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':')})
        name.replace(bad, QLatin1Char('-'));
    return (name.isEmpty() ? QStringLiteral("申报表") : name) + QStringLiteral(".pdf");
}

} // namespace lw
