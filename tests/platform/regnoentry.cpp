// SPDX-License-Identifier: GPL-3.0-or-later
// A library without registration entries.
extern "C" int lw_regtest_nothing_here() { return 0; }
