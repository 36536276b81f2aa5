#!/usr/bin/env bash
# The whole Verilog import (parse, flatten, convert, library) on the netlists of
# gen-verilog.py with 1,000, 10,000 and 100,000 leaf instances, then flattening,
# conversion and library alone on models generated in memory. Each size runs in
# a process of its own, so that its peak memory is its own.
# Usage: bench/run-import.sh [build-dir]   (a Release build)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${1:-build}"
data="$build_dir/bench-verilog"
mkdir -p "$data"
for n in 1000 10000 100000; do
  [ -f "$data/net$n.v" ] || python3 bench/gen-verilog.py "$n" "$data/net$n"
done
export OSVO_VERILOG_BENCH_DIR="$data"
for n in 1000 10000 100000; do
  "$build_dir/bench/import_bench" --benchmark_filter="/$n/" --benchmark_counters_tabular=true \
    2>/dev/null | grep "^BM_"
  "$build_dir/bench/flatten_bench" --benchmark_filter="/$n/" --benchmark_counters_tabular=true \
    2>/dev/null | grep "^BM_"
done
