// SPDX-License-Identifier: GPL-3.0-or-later
// "Today" for period proposals and filing dates; tests fix it.
#pragma once

#include <QDateTime>

namespace lw {

class Clock
{
public:
    static QDateTime now();
    static QDate today() { return now().date(); }
    static void setFixed(const QDateTime &moment);
    static void reset();
};

} // namespace lw
