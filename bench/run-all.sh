#!/usr/bin/env bash
# Every figure of bench/README.md from the Release build (make bench):
#   1. the Google Benchmark programs (build/bench/*_bench), each benchmark run
#      BENCH_REPS times (default 5); the table shows the least CPU time per
#      iteration, the machine being shared;
#   2. instructions per call under callgrind (bench/count-instructions.sh),
#      when valgrind is installed;
#   3. whole runs (bench/run-whole.sh), REPEAT times each for the short designs
#      (default 3). WHOLE_DESIGNS limits the designs (the 300-block one takes
#      several minutes).
#
#   bench/run-all.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
reps="${BENCH_REPS:-5}"
shopt -s nullglob
programs=("$build"/bench/*_bench)
if [ "${#programs[@]}" -eq 0 ]; then
  echo "No benchmark programs in $build/bench (is Google Benchmark installed?)"
else
  for p in "${programs[@]}"; do
    echo "== $(basename "$p") (least CPU time of $reps runs)"
    "$p" --benchmark_repetitions="$reps" --benchmark_format=json 2> /dev/null |
      python3 -c '
import collections, json, sys
runs = collections.OrderedDict()
for b in json.load(sys.stdin)["benchmarks"]:
    if b.get("run_type") == "iteration":
        runs.setdefault(b["run_name"], []).append((b["cpu_time"], b["time_unit"]))
for name, times in runs.items():
    t, unit = min(times)
    print(f"{name:44s} {t:12.1f} {unit}")
'
  done
fi
echo
echo "== instructions per call (callgrind)"
bash "$root/bench/count-instructions.sh" "$build"
echo
echo "== whole runs (bench/run-whole.sh)"
REPEAT="${REPEAT:-3}" bash "$root/bench/run-whole.sh" "$build"
