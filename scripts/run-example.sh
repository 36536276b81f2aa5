#!/usr/bin/env bash
# The demonstration behind `make run`: floorplans the bundled pipeline example
# (path variant) in a scratch folder under build/, then renders the gnuplot
# script of the best floorplan to a PNG image.
#
#   scripts/run-example.sh [build-dir]     (default: build)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
osvo="$build/src/driver/osvo"
if [ ! -x "$osvo" ]; then
  echo "run-example: $osvo is missing; build first (make build)" >&2
  exit 1
fi

work="$build/example-run"
rm -rf "$work"
mkdir -p "$work"
cp "$root/examples/pipeline/core-paths.desc" "$root/examples/pipeline/osvo-cycle.proc" "$work/"
cd "$work"

# Path variant at 2 GHz, three fitting runs, reproducible annealer seeds. The
# whole report goes to report.txt; the run and summary lines are shown below.
args=(-format x -pipe 1 -fix_freq 2.0 -f core-paths.desc -seed 1 -annealSeed 1 -flSuccess 3)
echo "Floorplanning examples/pipeline/core-paths.desc in $work"
echo "  osvo ${args[*]}"
status=0
"$osvo" "${args[@]}" > report.txt || status=$?
if [ "$status" -ne 0 ] && [ "$status" -ne 2 ]; then
  echo "run-example: osvo ended with status $status; see $work/report.txt" >&2
  exit "$status"
fi
grep -E '^(Iteration: |Configuration|BIPS |Average |Best BIPS | Minimum Cycle)' report.txt || true
if [ "$status" -eq 2 ]; then
  echo "run-example: not every run fit the outline (status 2); see report.txt" >&2
fi

if [ ! -s out ]; then
  echo "run-example: no floorplan plot was written (no run fit the outline)" >&2
  exit 1
fi
if ! command -v gnuplot > /dev/null; then
  echo "run-example: gnuplot is missing (scripts/install-deps.sh installs it); the plot script is $work/out" >&2
  exit 1
fi

# The script waits for a key at the end; the copy for the image does not.
grep -v '^pause' out > floorplan.gp
terminal="png noenhanced size 900,900"
if gnuplot -e "set terminal" 2>&1 | grep -q pngcairo; then
  terminal="pngcairo noenhanced size 900,900"
fi
# An empty set of critical nets draws nothing; gnuplot's warning about it is noise.
gnuplot -e "set terminal $terminal; set output 'floorplan.png'" floorplan.gp 2>&1 \
  | { grep -v 'Skipping data file with no valid points' || true; } >&2
echo
echo "Full report:        $work/report.txt"
echo "Best floorplan:     $work/floorplan.png"
