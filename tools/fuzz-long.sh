#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz target for RUNS executions (default one million) from its kept corpus, in a
# clang build with the fuzzers and sanitizers (configured here as build-fuzz if missing):
#   tools/fuzz-long.sh [RUNS]
# A crash stops the script with the target's report and leaves the input in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-1000000}"
build="${LW_FUZZ_BUILD:-build-fuzz}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DLW_FUZZ=ON -DLW_SANITIZE=ON -DLW_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" -j"$(nproc)" --target fuzz_formula fuzz_xlsx fuzz_answerdoc fuzz_ini fuzz_uploaddoc
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp"
for t in formula xlsx answerdoc ini uploaddoc; do
  mkdir -p "$build/corpus-$t"
  echo "fuzz_$t: $runs runs"
  (cd "$build" && "bin/fuzz_$t" -runs="$runs" -timeout=10 -rss_limit_mb=2048 "corpus-$t" "../fuzz/$t/corpus" 2>&1 | tail -n 1)
done
