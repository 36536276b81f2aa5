#!/usr/bin/env bash
# Instructions per operation, counted by callgrind (valgrind) on the Release
# build's instr_count program: sequence-pair evaluations at 10, 30, 100 and 300
# blocks and the delay model's findDelay. Each figure is the instruction count
# of REPS operations divided by REPS.
#
#   bench/count-instructions.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
prog="$build/bench/instr_count"
if ! command -v valgrind > /dev/null; then
  echo "count-instructions: valgrind is missing; skipped"
  exit 0
fi
if [ ! -x "$prog" ]; then
  echo "count-instructions: $prog is missing (is Google Benchmark installed?)" >&2
  exit 1
fi
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

# count REPS ARGS...: instructions per operation inside measured().
count() {
  local reps="$1"
  shift
  valgrind --tool=callgrind --callgrind-out-file="$out/cg" --toggle-collect='*measured*' \
    "$prog" "$@" > /dev/null 2> "$out/log"
  local total
  total=$(awk '/^summary:/ { print $2 }' "$out/cg")
  awk -v t="$total" -v r="$reps" 'BEGIN { printf "%.0f", t / r }'
}

printf '%-24s %12s %12s %12s %12s\n' "instructions per call" 10 30 100 300
for kind in evaluate reference slacks afterswap; do
  printf '%-24s' "$kind"
  for n in 10 30 100 300; do
    reps=$((300000 / n))
    printf ' %12s' "$(count "$reps" "$kind" "$n" "$reps")"
  done
  echo
done
printf "%-24s %12s\n" "findDelay, new length" "$(count 200 delay-new-length 200)"
printf '%-24s %12s\n' "findDelay, first call" "$(count 3 delay-first-call 3)"
