#!/usr/bin/env bash
# The demonstrations behind `make run` and `make run-pipeline`: floorplans a
# bundled example in a scratch folder under build/, then renders the gnuplot
# script of the best floorplan to a PNG image.
#
#   scripts/run-example.sh [verilog|pipeline] [build-dir]   (default: verilog build)
#
# verilog:  the out-of-order core of examples/verilog in the default input
#           format "v" (structural Verilog, cell library, IPC file, special masters)
# pipeline: the same kind of core as a pipeline description (examples/pipeline,
#           format "x", path variant at 2 GHz)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
example="verilog"
case "${1:-}" in
  verilog | pipeline) example="$1"; shift ;;
esac
build="${1:-$root/build}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
osvo="$build/src/driver/osvo"
if [ ! -x "$osvo" ]; then
  echo "run-example: $osvo is missing; build first (make build)" >&2
  exit 1
fi

work="$build/example-run"
[ "$example" = pipeline ] && work="$build/example-run-pipeline"
rm -rf "$work"
mkdir -p "$work"

if [ "$example" = verilog ]; then
  cp "$root"/examples/verilog/cpu.{v,lib,ipc,special} "$work/"
  # Netlist (top module cpu, the default of -t), cell library, IPC file and
  # special masters file; three fitting runs with reproducible annealer seeds.
  # The larger area weight keeps the packings inside the outline (with the
  # default of 30 most runs miss it and are made again).
  args=(-f cpu.v -c cpu.lib -ipcFile cpu.ipc -s cpu.special -seed 1 -annealSeed 1
    -flSuccess 3 -areaWeight 90)
  source_name="examples/verilog/cpu.v"
else
  cp "$root/examples/pipeline/core-paths.desc" "$root/examples/pipeline/osvo-cycle.proc" "$work/"
  # Path variant at 2 GHz, three fitting runs, reproducible annealer seeds.
  args=(-format x -pipe 1 -fix_freq 2.0 -f core-paths.desc -seed 1 -annealSeed 1 -flSuccess 3)
  source_name="examples/pipeline/core-paths.desc"
fi
cd "$work"

# The whole report goes to report.txt; the run and summary lines are shown below.
echo "Floorplanning $source_name in $work"
echo "  osvo ${args[*]}"
status=0
"$osvo" "${args[@]}" > report.txt 2> errors.txt || status=$?
if [ "$status" -ne 0 ] && [ "$status" -ne 2 ]; then
  cat errors.txt >&2
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
echo "Messages:           $work/errors.txt"
echo "Best floorplan:     $work/floorplan.png"
