#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One table of every benchmark with its goal, from one run of each (medians inside each):
#   bench/report.sh [BUILD_DIR]     after a build with -DLW_BENCH=ON (the default)
set -euo pipefail
bin="$(cd "${1:-build}" && pwd)/bin"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
value() { sed -n "s/^$1=\([0-9.]*\).*/\1/p" <<<"$2" | head -n 1; }
cell="$("$bin/bench_cell" 2>/dev/null)"
declare_="$("$bin/bench_declare" 2>/dev/null)"
output="$("$bin/bench_output" 2>/dev/null)"
print="$("$bin/bench_print" 2>/dev/null)"
recalc="$(sed -n 's/^full recalculation, median of 500: \([0-9.]*\) ms.*/\1/p' <<<"$cell")"
czzs_open="$(sed -n 's/^czzs.xlsx: .* open \([0-9.]*\) ms.*/\1/p' <<<"$cell")"
row() { printf '| %s | %s | %s |\n' "$1" "$2" "$3"; }
echo "| benchmark | measured | goal |"
echo "|---|---|---|"
row "full recalculation, 2 000 formulas" "${recalc} ms" "< 0.5 ms"
row "open the largest template (czzs.xlsx)" "${czzs_open} ms" "< 50 ms"
row "declaration window: open, audit-based annual form" "$(value open_ms "$declare_") ms" "< 50 ms"
row "first load of a period, 50 investors" "$(value first_load_ms "$declare_") ms" "< 100 ms"
row "save, 50 investors" "$(value save_ms "$declare_") ms" "< 100 ms"
row "show stored values" "$(value show_stored_ms "$declare_") ms" "< 50 ms"
for d in DATA_YJBB DATA_QSBB DATA_HZBB DATA_CZZS DATA_HDZS DATA_HHQYSBMX; do
  row "upload document $d, 50 investors" "$(value "${d}_ms" "$output") ms" "< 20 ms"
done
row "electronic data files, quarterly" "$(value CSJY_A_ms "$output") ms" "< 20 ms"
row "electronic data files, annual" "$(value CSJY_B_ms "$output") ms" "< 20 ms"
row "PDF of the audit-based annual form, 50 investors" "$(value pdf_ms "$print") ms" "< 500 ms"
row "peak memory, annual form with 50 investors" "$(value peak_rss_mb "$declare_") MB" "< 300 MB"
