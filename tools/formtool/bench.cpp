// SPDX-License-Identifier: GPL-3.0-or-later
// formtool bench: open once, recalculate N times, print the open time and the median recalc.
#include "Commands.h"

#include "Workbook.h"

#include <QElapsedTimer>

#include <algorithm>
#include <vector>

namespace lw::formtool {

int bench(const QStringList &args)
{
    if (args.isEmpty())
        return fail(QStringLiteral("bench needs a file"));
    int repeat = 100;
    for (int i = 1; i < args.size(); ++i) {
        bool ok = false;
        if (args[i] == QLatin1String("--repeat") && i + 1 < args.size())
            repeat = args[++i].toInt(&ok);
        if (!ok || repeat < 1)
            return fail(QStringLiteral("bad argument: %1").arg(args[i]));
    }
    Workbook book;
    QElapsedTimer t;
    t.start();
    if (!open(args[0], book))
        return BadInput;
    const double openMs = double(t.nsecsElapsed()) / 1e6;
    book.recalculate(); // binds references and orders the formulas once
    std::vector<double> times;
    times.reserve(size_t(repeat));
    for (int i = 0; i < repeat; ++i) {
        t.restart();
        book.recalculate();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    const double median = times.size() % 2 ? times[times.size() / 2]
                                            : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
    out(QStringLiteral("open_ms=%1").arg(openMs, 0, 'f', 3));
    out(QStringLiteral("recalc_ms=%1").arg(median, 0, 'f', 4));
    return 0;
}

} // namespace lw::formtool
