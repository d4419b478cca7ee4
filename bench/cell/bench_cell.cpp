// SPDX-License-Identifier: GPL-3.0-or-later
// Spreadsheet speed: opening templates and fully recalculating a synthetic workbook of 2 000
// formulas shaped like the declaration forms (amount chains, sums, rounding, brackets, cross-sheet
// references). Usage: bench_cell [--save SYNTHETIC.xlsx] [TEMPLATE.xlsx ...]; without templates
// those of the installation tree's rpt/ are opened when present. --save keeps the synthetic
// workbook, so other spreadsheet engines can be timed on the same file.
#include "Engine.h"
#include "Workbook.h"
#include "XlsxReader.h"
#include "XlsxWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace lw;

namespace {

double medianMs(int repeat, const std::function<void()> &work)
{
    std::vector<double> t;
    QElapsedTimer timer;
    for (int i = 0; i < repeat; ++i) {
        timer.start();
        work();
        t.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// 2 000 formulas: 40 investor rows of 45 formula columns on sheet 0, 200 more on sheet 1.
void buildSynthetic(Workbook &b)
{
    b.addSheet(QStringLiteral("主表"));
    b.addSheet(QStringLiteral("附表"));
    // bracket table in sheet 1, A1:C5
    const double lower[] = {0, 15000, 30000, 60000, 100000};
    const double rate[] = {0.05, 0.1, 0.2, 0.3, 0.35};
    const double quick[] = {0, 750, 3750, 9750, 14750};
    for (int i = 0; i < 5; ++i) {
        b.writeNumber(1, i + 1, 1, lower[i]);
        b.writeNumber(2, i + 1, 1, rate[i]);
        b.writeNumber(3, i + 1, 1, quick[i]);
    }
    int formulas = 0;
    for (int r = 0; r < 40; ++r) {
        const int row = 10 + r;
        b.writeNumber(1, row, 0, 100000 + r * 1234.56);
        b.writeNumber(2, row, 0, 60 - r % 7);
        b.writeNumber(3, row, 0, 3500 * 12);
        const QString n = QString::number(row);
        b.setFormula(4, row, 0, QStringLiteral("ROUND(A%1*B%1/100,2)").arg(n));
        b.setFormula(5, row, 0, QStringLiteral("MAX(D%1-C%1,0)").arg(n));
        b.setFormula(6, row, 0, QStringLiteral("LOOKUP(E%1,'附表'!$A$1:$A$5,'附表'!$B$1:$B$5)").arg(n));
        b.setFormula(7, row, 0, QStringLiteral("VLOOKUP(E%1,'附表'!$A$1:$C$5,3)").arg(n));
        b.setFormula(8, row, 0, QStringLiteral("ROUND(MAX(E%1*F%1-G%1,0),2)").arg(n));
        formulas += 5;
        for (int c = 9; c <= 48; ++c) {
            const QString prev = columnName(c - 1) + n;
            switch (c % 5) {
            case 0: b.setFormula(c, row, 0, QStringLiteral("IF(%1>1000,ROUND(%1*0.97,2),%1+1)").arg(prev)); break;
            case 1: b.setFormula(c, row, 0, QStringLiteral("%1+$A%2-$A%2").arg(prev, n)); break;
            case 2: b.setFormula(c, row, 0, QStringLiteral("SUM(D%1:%2)/%3").arg(n, prev).arg(c - 3)); break;
            case 3: b.setFormula(c, row, 0, QStringLiteral("ROUNDDOWN(%1*1.01,2)").arg(prev)); break;
            default: b.setFormula(c, row, 0, QStringLiteral("IFERROR(%1/(B%2-B%2),%1)").arg(prev, n)); break;
            }
            ++formulas;
        }
    }
    for (int i = 0; i < 2000 - formulas; ++i) {
        const int row = 10 + i % 40;
        b.setFormula(5 + i / 40, 20 + i % 40, 1,
                     QStringLiteral("'主表'!H%1+SUM('主表'!D%1:H%1)*0.01").arg(row));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList templates = app.arguments().mid(1);
    QString keep;
    const int save = int(templates.indexOf(QStringLiteral("--save")));
    if (save >= 0 && save + 1 < templates.size()) {
        keep = templates[save + 1];
        templates.remove(save, 2);
    }
    if (templates.isEmpty()) {
        QDir rpt(QCoreApplication::applicationDirPath() + QStringLiteral("/../ledgerwell/rpt"));
        for (const QString &f : rpt.entryList({QStringLiteral("*.xlsx")}, QDir::Files))
            templates << rpt.filePath(f);
    }

    Workbook synthetic;
    buildSynthetic(synthetic);
    synthetic.recalculate();
    std::printf("synthetic formulas: %d\n", synthetic.engine().formulaCount());
    const double recalc = medianMs(500, [&] { synthetic.recalculate(); });
    std::printf("full recalculation, median of 500: %.4f ms (goal < 0.5 ms)\n", recalc);

    QTemporaryDir dir;
    const QString file = keep.isEmpty() ? dir.filePath(QStringLiteral("synthetic.xlsx")) : keep;
    QString error;
    if (!writeXlsxFile(synthetic, file, &error)) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return 1;
    }
    templates.prepend(file);
    for (const QString &t : templates) {
        double cells = 0;
        const double open = medianMs(20, [&] {
            Workbook b;
            QString e;
            readXlsxFile(t, b, &e);
            cells = 0;
            for (int s = 0; s < b.sheetCount(); ++s)
                cells += b.sheet(s)->cellCount();
        });
        Workbook b;
        readXlsxFile(t, b, &error);
        b.recalculate();
        const double first = medianMs(1, [&] { Workbook w; QString e; readXlsxFile(t, w, &e); w.recalculate(); });
        const double re = medianMs(200, [&] { b.recalculate(); });
        std::printf("%s: %.0f cells, %d formulas; open %.3f ms (goal < 50 ms), open+first recalc %.3f ms, "
                    "recalc %.4f ms\n",
                    QDir(t).dirName().toLocal8Bit().constData(), cells, b.engine().formulaCount(), open, first, re);
    }
    return 0;
}
