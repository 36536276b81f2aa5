#!/usr/bin/env bash
# Legality table of the fixed-outline floorplanner on the GSRC benchmarks
# (HARD and SOFT, n10 to n300, at 10, 15 and 20 % whitespace), then the speed
# of one bisection of the n300 netlist and of the n300 construction.
#
# Usage: bench/fenrik-gsrc.sh [GSRC_DIR [BUILD_DIR]]
# GSRC_DIR defaults to ../shared/benchmarks/gsrc next to the repository.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
gsrc="${1:-}"
if [ -z "$gsrc" ]; then
  for candidate in "$root/../shared/benchmarks/gsrc" "$root/../../shared/benchmarks/gsrc"; do
    if [ -f "$candidate/HARD/n10.blocks" ]; then gsrc="$candidate"; break; fi
  done
fi
if [ -z "$gsrc" ] || [ ! -d "$gsrc" ]; then
  echo "GSRC benchmarks not found; give their directory as the first argument" >&2
  exit 1
fi
build="${2:-$root/build}"
status=0
"$build/bench/fenrik_gsrc" "$gsrc" || status=$?
if [ -x "$build/bench/fenrik_bench" ]; then
  "$build/bench/fenrik_bench" --benchmark_counters_tabular=true 2>/dev/null
fi
exit "$status"
