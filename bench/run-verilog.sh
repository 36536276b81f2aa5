#!/usr/bin/env bash
# Generates the hierarchical netlists of gen-verilog.py (1,000, 10,000 and
# 100,000 leaf instances) and measures reading them with verilog_bench: each
# benchmark runs in a process of its own, so its peak_rss_mb is its own.
# Usage: bench/run-verilog.sh [build-dir]   (a Release build)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${1:-build}"
program="$build_dir/bench/verilog_bench"
[ -x "$program" ] || { echo "no $program (build the Release tree first)" >&2; exit 1; }
data="$build_dir/bench-verilog"
mkdir -p "$data"
for n in 1000 10000 100000; do
  [ -f "$data/net$n.v" ] || python3 bench/gen-verilog.py "$n" "$data/net$n"
done
export OSVO_VERILOG_BENCH_DIR="$data"
"$program" --benchmark_filter='^BM_FirstTouch' --benchmark_counters_tabular=true 2>/dev/null |
  grep "^BM_"
for phase in Scan Parse Write WriteWarm; do
  for n in 1000 10000 100000; do
    "$program" --benchmark_filter="^BM_$phase/$n\$" --benchmark_counters_tabular=true \
      --benchmark_format=console 2>/dev/null | grep "^BM_"
  done
done
