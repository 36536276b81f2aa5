#!/usr/bin/env bash
# Runs every benchmark program of the Release build (build/bench/*_bench).
set -euo pipefail
build_dir="${1:-build}"
shopt -s nullglob
programs=("$build_dir"/bench/*_bench)
if [ "${#programs[@]}" -eq 0 ]; then
  echo "No benchmark programs in $build_dir/bench (is Google Benchmark installed?)"
  exit 0
fi
for p in "${programs[@]}"; do
  echo "== $(basename "$p")"
  "$p" --benchmark_counters_tabular=true
done
