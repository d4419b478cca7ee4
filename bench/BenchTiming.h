// SPDX-License-Identifier: GPL-3.0-or-later
// Timing helpers shared by the benchmarks: milliseconds of one call, median of the runs.
#pragma once

#include <QElapsedTimer>

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
