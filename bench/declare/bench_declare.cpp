// SPDX-License-Identifier: GPL-3.0-or-later
// Times the audit-based annual form with 50 investors: opening the window (template), the first
// load of a period, the save, and showing the stored values; and the same save run statement by
// statement without a transaction, in the same run.
//   bench_declare [--repeat N]
#include "FormValues.h"
#include "../BenchPartnership.h"
#include "../BenchTiming.h"
#include "TCell.h"
#include "TestEnv.h"
#include "untDm.h"
#include "untRpt.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif
#include <functional>
#include <vector>

using namespace lw;

int main(int argc, char *argv[])
{
    PrepareBenchEnvironment(LW_STAGE_DIR);
    QApplication app(argc, argv);
    const int repeat = RepeatCount(app.arguments(), 5);

    std::vector<double> open, load, save, show, unatomic;
    for (int run = 0; run < repeat; ++run) {
        test::TestEnv env;
        env.copyFromStage(QStringLiteral("rpt"));
        env.copyFromStage(QStringLiteral("running.gif"));
        Tdm tdm;
        AddBenchPartnership(tdm);
        TfrmRpt w;
        w.ReportKind = 4;
        open.push_back(timeMs([&] { w.FormShow(); }));
        w.setPeriod(QStringLiteral("2010-01-01"), QStringLiteral("2010-12-31"));
        load.push_back(timeMs([&] { w.TeSpBtnInportClick(); }));
        save.push_back(timeMs([&] { w.TeSpBtnSetupClick(); }));
        show.push_back(timeMs([&] { w.ShowStoredValues(); }));
        const FormValues values(QStringLiteral("recal_cz"), QStringLiteral("2010-01-01"), QStringLiteral("2010-12-31"));
        unatomic.push_back(timeMs([&] { values.SaveValues(*w.CellInfo, true, FormValues::Commit::Unatomic); }));
    }
    std::printf("open_ms=%.2f\nfirst_load_ms=%.2f\nsave_ms=%.2f\nshow_stored_ms=%.2f\nsave_unatomic_ms=%.2f\nunatomic_over_atomic=%.2f\n",
                median(open), median(load), median(save), median(show), median(unatomic),
                median(unatomic) / std::max(1e-9, median(save)));
#ifdef Q_OS_UNIX
    // Peak memory of the whole run: the largest form open with 50 investors, loaded and saved.
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak_rss_mb=%.1f\n", usage.ru_maxrss / 1024.0);
#endif
    return 0;
}
