#!/usr/bin/env bash
# Runs every libFuzzer target of build-fuzz, starting from its corpus under
# tests/fuzz/corpus plus the repository files its seeds.list names (test data
# and examples, kept in one place). New inputs go to a scratch copy, so the
# committed corpus stays as it is. Fails on the first target that finds a crash.
#
#   FUZZ_SECONDS  seconds per target (default 60)
#   FUZZ_RUNS     a number of executions per target instead of a time
#   FUZZ_TARGETS  names of the targets to run (default: all), e.g. "ipc_file cycle_file"
#   FUZZ_MAX_LEN  longest input the fuzzer makes (default 65536)
#   FUZZ_BUILD    the fuzz build directory (default build-fuzz)
#   FUZZ_SEED     the fuzzer's random seed (default: a new one each run); with a
#                 seed a run repeats, so a failure it finds can be reproduced
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${FUZZ_BUILD:-build-fuzz}"
seconds="${FUZZ_SECONDS:-60}"
shopt -s nullglob
targets=("$build_dir"/tests/fuzz/*_fuzz)
if [ "${#targets[@]}" -eq 0 ]; then
  echo "No fuzz targets in $build_dir/tests/fuzz" >&2
  exit 1
fi
if [ -n "${FUZZ_RUNS:-}" ]; then
  budget=(-runs="$FUZZ_RUNS")
else
  budget=(-max_total_time="$seconds")
fi
if [ -n "${FUZZ_SEED:-}" ]; then budget+=(-seed="$FUZZ_SEED"); fi
work="$build_dir/fuzz-work"
for t in "${targets[@]}"; do
  name=$(basename "$t" _fuzz)
  if [ -n "${FUZZ_TARGETS:-}" ] && [[ " $FUZZ_TARGETS " != *" $name "* ]]; then continue; fi
  rm -rf "${work:?}/$name" && mkdir -p "$work/$name/corpus" "$work/$name/artifacts"
  if [ -d "tests/fuzz/corpus/$name" ]; then
    cp -r "tests/fuzz/corpus/$name/." "$work/$name/corpus/"
    rm -f "$work/$name/corpus/seeds.list"
    if [ -f "tests/fuzz/corpus/$name/seeds.list" ]; then
      grep -v '^#' "tests/fuzz/corpus/$name/seeds.list" | while read -r seed; do
        if [ -n "$seed" ]; then cp "$seed" "$work/$name/corpus/"; fi
      done
    fi
  fi
  echo "== $name: ${FUZZ_RUNS:+$FUZZ_RUNS runs}${FUZZ_RUNS:-$seconds s}"
  program="$(cd "$(dirname "$t")" && pwd)/$(basename "$t")"
  (cd "$work/$name" && "$program" "${budget[@]}" -max_len="${FUZZ_MAX_LEN:-65536}" -rss_limit_mb=2048 \
      -timeout=10 -print_final_stats=1 -artifact_prefix=artifacts/ corpus 2>fuzz.log) || {
    tail -n 40 "$work/$name/fuzz.log" >&2
    echo "fuzz target $name failed; the input is in $work/$name/artifacts" >&2
    exit 1
  }
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|^Done' "$work/$name/fuzz.log" || true
done
