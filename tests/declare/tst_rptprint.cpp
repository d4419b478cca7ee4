// SPDX-License-Identifier: GPL-3.0-or-later
// "打印" and "导出PDF" of the declaration window and the loss ledger.
#include "DeclareFixture.h"
#include "FormPrinting.h"
#include "PdfText.h"
#include "TCell.h"
#include "untMbksRpt.h"
#include "untRpt.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTest>
#include <QToolButton>

using namespace lw;
using test::DeclareFixture;
using test::pdfText;

namespace {

const QString kCode = QStringLiteral("370102000123456");

std::unique_ptr<TfrmRpt> loadedWindow(int kind, const QString &qsrq, const QString &zzrq)
{
    auto w = std::make_unique<TfrmRpt>();
    w->ReportKind = kind;
    w->FormShow();
    w->setPeriod(qsrq, zzrq);
    w->TeSpBtnInportClick();
    return w;
}

// Types into a cell of sheet 0 and leaves the edit open, as a user who clicks a button next.
void typeWithoutConfirming(TCell &cell, int col, int row, const QString &text)
{
    cell.setActiveSheet(0);
    cell.setCurrentCell(col, row);
    QVERIFY(cell.beginEdit(QString(), true));
    cell.editor()->setText(text);
}

} // namespace

class TestRptPrint : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { SetPrintPreviewRunner({}); }
    void exportWritesTheFormAsShown();
    void exportCancelledOrRefused_data();
    void exportCancelledOrRefused();
    void formtoolGivesTheSamePages();
    void previewPrintsAllOrTheCurrentSheet();
    void ledgerExports();
};

void TestRptPrint::exportWritesTheFormAsShown()
{
    DeclareFixture f(QStringLiteral("10"));
    auto w = loadedWindow(1, QStringLiteral("2011-01-01"), QStringLiteral("2011-03-31"));
    QVERIFY(w->button("TeSpBtnPdf") && w->buttonVisible("TeSpBtnPdf") && w->buttonVisible("TeSpBtnPrint"));
    typeWithoutConfirming(*w->CellInfo, 4, 8, QStringLiteral("800000"));
    const QString file = f.env->appPath() + QStringLiteral("tmp/form.pdf");
    f.ui->answerFileName(file);
    w->TeSpBtnPdfClick();

    QCOMPARE(f.ui->suggestedNames, QStringList{QStringLiteral("季度预缴_%1_2011-01-01_2011-03-31.pdf").arg(kCode)});
    QVERIFY(f.ui->shown.isEmpty());
    QVERIFY(!w->CellInfo->isEditing());
    const QString text = pdfText(file);
    QVERIFY2(!text.isEmpty(), "pdftotext (poppler-utils) is missing or cannot read the file");
    QVERIFY(text.contains(QStringLiteral("800,000.00"))); // the edit in progress, committed
    const QString profit = w->CellInfo->ReadCellText(4, 13, 0);
    QCOMPARE(profit, QStringLiteral("800,000.00"));
    const QString tax = w->CellInfo->ReadCellText(12, 4, 1);
    QVERIFY(!tax.isEmpty() && tax != QStringLiteral("0.00"));
    QVERIFY2(text.contains(tax), qPrintable(tax)); // recalculated before printing
    QVERIFY(text.contains(w->CellInfo->ReadCellText(2, 3, 0)));
}

void TestRptPrint::exportCancelledOrRefused_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("dialog cancelled") << true;
    QTest::newRow("folder missing") << false;
}

void TestRptPrint::exportCancelledOrRefused()
{
    QFETCH(bool, cancel);
    DeclareFixture f(QStringLiteral("10"));
    auto w = loadedWindow(4, QStringLiteral("2011-01-01"), QStringLiteral("2011-12-31"));
    const QString file = f.env->appPath() + QStringLiteral("nowhere/form.pdf");
    f.ui->answerFileName(cancel ? QString() : file);
    w->TeSpBtnPdfClick();
    QCOMPARE(f.ui->saveDialogs.size(), 1);
    QCOMPARE(f.ui->suggestedNames.value(0), QStringLiteral("查账征收_%1_2011-01-01_2011-12-31.pdf").arg(kCode));
    QVERIFY(!QFileInfo::exists(file));
    QVERIFY(QDir(f.env->appPath() + QStringLiteral("tmp")).entryList({QStringLiteral("*.pdf")}).isEmpty());
    if (cancel) {
        QVERIFY(f.ui->shown.isEmpty());
    } else {
        QCOMPARE(f.ui->shown.size(), 1);
        QCOMPARE(f.ui->shown[0].icon, MsgIcon::Error);
        QVERIFY2(f.ui->shown[0].text.startsWith(QStringLiteral("无法写入文件")), qPrintable(f.ui->shown[0].text));
    }
}

// The command-line printout of the same workbook has the same pages and text.
void TestRptPrint::formtoolGivesTheSamePages()
{
    DeclareFixture f(QStringLiteral("10"));
    auto w = loadedWindow(4, QStringLiteral("2011-01-01"), QStringLiteral("2011-12-31"));
    w->CellInfo->WriteCellNumber(4, 8, 0, 1200000);
    w->CellInfo->WriteCellNumber(4, 11, 0, 950000);
    const QString xlsx = f.env->appPath() + QStringLiteral("tmp/form.xlsx");
    const QString fromWindow = f.env->appPath() + QStringLiteral("tmp/window.pdf");
    const QString fromTool = f.env->appPath() + QStringLiteral("tmp/tool.pdf");
    f.ui->answerFileName(fromWindow);
    w->TeSpBtnPdfClick();
    f.ui->answerFileName(xlsx);
    w->TeSpBtnSaveClick();
    QVERIFY(QFileInfo::exists(xlsx));

    QProcess tool;
    tool.start(qEnvironmentVariable("LW_STAGE") + QStringLiteral("/formtool"),
               {QStringLiteral("pdf"), xlsx, fromTool});
    QVERIFY(tool.waitForFinished(30000));
    QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
    const QString windowText = pdfText(fromWindow);
    QVERIFY(windowText.contains(QStringLiteral("1,200,000.00")));
    QCOMPARE(pdfText(fromTool), windowText);
    const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    QCOMPARE(pages.match(test::pdfInfo(fromTool)).captured(1), pages.match(test::pdfInfo(fromWindow)).captured(1));
}

void TestRptPrint::previewPrintsAllOrTheCurrentSheet()
{
    DeclareFixture f(QStringLiteral("10"));
    auto w = loadedWindow(1, QStringLiteral("2011-01-01"), QStringLiteral("2011-03-31"));
    w->CellInfo->setActiveSheet(1);
    QStringList texts;
    int previews = 0;
    SetPrintPreviewRunner([&](QPrintPreviewDialog &dialog) {
        ++previews;
        auto *sheets = dialog.findChild<QComboBox *>(QStringLiteral("cbxSheets"));
        QVERIFY(sheets);
        for (int choice = 0; choice < 2; ++choice) {
            sheets->setCurrentIndex(choice);
            const QString file = f.env->appPath() + QStringLiteral("tmp/print%1.pdf").arg(choice);
            QPrinter *printer = dialog.printer();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(file);
            emit dialog.paintRequested(printer);
            texts << pdfText(file);
        }
    });
    w->TeSpBtnPrintClick();
    QCOMPARE(previews, 1);
    QCOMPARE(texts.size(), 2);
    const QString enterpriseLabel = QStringLiteral("纳税人识别号"), investorHeading = QStringLiteral("投资者税务管理码");
    QVERIFY(texts[0].contains(enterpriseLabel) && texts[0].contains(investorHeading));
    QVERIFY(!texts[1].contains(enterpriseLabel) && texts[1].contains(investorHeading));
}

void TestRptPrint::ledgerExports()
{
    DeclareFixture f(QStringLiteral("10"));
    TfrmMbksRpt ledger;
    ledger.TaxCode = kCode;
    ledger.StartDate = QStringLiteral("2011-01-01");
    ledger.EndDate = QStringLiteral("2011-12-31");
    ledger.FormShow();
    const QString file = f.env->appPath() + QStringLiteral("tmp/ledger.pdf");
    f.ui->answerFileName(file);
    ledger.findChild<QToolButton *>(QStringLiteral("TeSpBtnPdf"))->click();
    QVERIFY(ledger.findChild<QToolButton *>(QStringLiteral("TeSpBtnPrint")));
    QCOMPARE(f.ui->suggestedNames, QStringList{QStringLiteral("弥补亏损明细_%1_2011-01-01_2011-12-31.pdf").arg(kCode)});
    const QString text = pdfText(file);
    QVERIFY(text.contains(QStringLiteral("2010")));
    QVERIFY(text.contains(QStringLiteral("2006")));
}

QTEST_MAIN(TestRptPrint)
#include "tst_rptprint.moc"
