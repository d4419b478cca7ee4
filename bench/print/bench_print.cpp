// SPDX-License-Identifier: GPL-3.0-or-later
// Times the PDF of the audit-based annual form with 50 investors, loaded in the declaration
// window: the page layout alone, and the whole file (recalculation, layout, painting, writing).
// The goal for the whole file is under 500 ms.
//   bench_print [--repeat N]
#include "../BenchPartnership.h"
#include "../BenchTiming.h"
#include "PrintLayout.h"
#include "TCell.h"
#include "TestEnv.h"
#include "Workbook.h"
#include "WorkbookPrint.h"
#include "untDm.h"
#include "untRpt.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>

using namespace lw;

int main(int argc, char *argv[])
{
    PrepareBenchEnvironment(LW_STAGE_DIR);
    QApplication app(argc, argv);
    const int repeat = RepeatCount(app.arguments(), 5);

    test::TestEnv env;
    env.copyFromStage(QStringLiteral("rpt"));
    env.copyFromStage(QStringLiteral("running.gif"));
    Tdm tdm;
    AddBenchPartnership(tdm);
    TfrmRpt w;
    w.ReportKind = 4;
    w.FormShow();
    w.setPeriod(QStringLiteral("2010-01-01"), QStringLiteral("2010-12-31"));
    w.TeSpBtnInportClick();
    Workbook &book = w.CellInfo->workbook();
    book.writeNumber(4, 8, 0, 1200000);
    book.writeNumber(4, 11, 0, 950000);

    const QString path = env.appPath() + QStringLiteral("tmp/bench.pdf");
    const QSizeF area = defaultPrintPageLayout().paintRectPoints().size();
    std::vector<double> layout, pdf;
    int pages = 0;
    QString error;
    for (int run = 0; run < repeat; ++run) {
        layout.push_back(timeMs([&] { pages = PrintLayout(book, area, {}).pageCount(); }));
        pdf.push_back(timeMs([&] {
            w.CellInfo->RecalculateWorkbook();
            if (!writeWorkbookPdf(book, path, {}, &error))
                std::fprintf(stderr, "%s\n", qPrintable(error));
        }));
    }
    std::printf("pages=%d\npdf_bytes=%lld\nlayout_ms=%.2f\npdf_ms=%.2f\npdf_over_goal=%.2f\n", pages,
                QFileInfo(path).size(), median(layout), median(pdf), median(pdf) / 500.0);
    return 0;
}
