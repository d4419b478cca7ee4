// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the benchmarks: their environment, the run count, milliseconds of one call,
// the median of the runs.
#pragma once

#include <QElapsedTimer>
#include <QStringList>
#include <QtGlobal>

#include <algorithm>
#include <functional>
#include <vector>

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

inline double timeMs(const std::function<void()> &fn)
{
    QElapsedTimer t;
    t.start();
    fn();
    return t.nsecsElapsed() / 1e6;
}

// Offscreen unless a platform is named; the built installation tree unless another is named.
inline void PrepareBenchEnvironment(const char *stageDir)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("LW_STAGE"))
        qputenv("LW_STAGE", stageDir);
}

// The value of --repeat N, at least 1.
inline int RepeatCount(const QStringList &args, int fallback)
{
    const int i = int(args.indexOf(QStringLiteral("--repeat")));
    return i > 0 && i + 1 < args.size() ? std::max(1, args.at(i + 1).toInt()) : fallback;
}
