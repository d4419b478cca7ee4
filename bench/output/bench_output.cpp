// SPDX-License-Identifier: GPL-3.0-or-later
// Times building each declaration upload document, and the electronic data files of the
// quarterly and the audit-based annual form, for a partnership of 50 investors (medians).
//   bench_output [--repeat N]
#include "ElectronicFile.h"
#include "../BenchPartnership.h"
#include "../BenchTiming.h"
#include "TCell.h"
#include "TestEnv.h"
#include "UploadDocument.h"
#include "untDm.h"
#include "untRpt.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

using namespace lw;

int main(int argc, char *argv[])
{
    PrepareBenchEnvironment(LW_STAGE_DIR);
    QApplication app(argc, argv);
    const int repeat = RepeatCount(app.arguments(), 5);

    struct Case
    {
        const char *label;
        int kind;
        const char *code;
    };
    const Case cases[] = {{"DATA_YJBB", 1, "10"}, {"DATA_QSBB", 2, "10"}, {"DATA_HZBB", 3, "10"},
                          {"DATA_CZZS", 4, "10"}, {"DATA_HDZS", 4, "20"}, {"DATA_HHQYSBMX", 5, "10"},
                          {"CSJY_A", 1, "10"},    {"CSJY_B", 4, "10"}};
    std::map<std::string, std::vector<double>> times;
    for (int run = 0; run < repeat; ++run) {
        for (const Case &c : cases) {
            test::TestEnv env;
            env.copyFromStage(QStringLiteral("rpt"));
            env.copyFromStage(QStringLiteral("running.gif"));
            QDir().mkpath(env.appPath() + QStringLiteral("tmp"));
            Tdm tdm;
            auto &q = tdm.adoQry1;
            AddBenchPartnership(tdm, QLatin1String(c.code));
            for (int i = 0; i < 50; ++i) {
                q.exec(QStringLiteral("insert into hhqymx (swdjjbxx_id,hhrswglm,hhr_mc,tzzxz,czfs,tz_bl,tz_je,fp_bl) values "
                                      "('370102000123456','3701021981%1','成员%1','01','1',5,10000,5)").arg(i, 5, 10, QLatin1Char('0')));
            }
            TfrmRpt w;
            w.ReportKind = c.kind;
            w.FormShow();
            const bool annual = c.kind == 4;
            const QString qsrq = annual ? QStringLiteral("2010-01-01") : QStringLiteral("2011-01-01");
            const QString zzrq = annual ? QStringLiteral("2010-12-31") : QStringLiteral("2011-03-31");
            w.setPeriod(qsrq, zzrq);
            if (c.kind == 3) {
                w.CellInfo->WriteCellText(1, 24, 0, QStringLiteral("370102000123456"));
                for (int r = 6; r <= 11; ++r)
                    w.CellInfo->WriteCellNumber(7, r, 0, 10000.0 * r);
            } else {
                w.TeSpBtnInportClick();
            }
            for (int r = 4; r <= 54; ++r)
                w.CellInfo->WriteCellNumber(14, r, 1, 100.5);
            w.TeSpBtnSetupClick();
            const QString label = QLatin1String(c.label);
            if (label.startsWith(QLatin1String("CSJY"))) {
                const ElectronicFileHeader header{qsrq, zzrq, QStringLiteral("Q01_15"), true};
                const ElectronicFileLayout &layout = c.kind == 1 ? QuarterlyFileLayout() : AnnualFileLayout();
                times[c.label].push_back(timeMs([&] {
                    const auto files = BuildElectronicFiles(env.appPath() + layout.templateFile, *w.CellInfo, layout, header, 50);
                    for (size_t i = 0; i < files.size(); ++i)
                        files[i].save(env.appPath() + QStringLiteral("tmp/f%1.xml").arg(i));
                }));
            } else {
                const FilingDates dates{qsrq, zzrq, QStringLiteral("2011-04-12")};
                times[c.label].push_back(timeMs([&] {
                    BuildUploadDocument(env.appPath() + QStringLiteral("rpt/") + label + QStringLiteral(".xml"), *w.CellInfo,
                                        c.kind, QLatin1String(c.code) == QLatin1String("10"), dates)
                        .save(env.appPath() + QStringLiteral("tmp/doc.xml"));
                }));
            }
        }
    }
    for (const Case &c : cases)
        std::printf("%s_ms=%.2f\n", c.label, median(times[c.label]));
    return 0;
}
