#!/usr/bin/env bash
# The GSRC floorplanning benchmarks through input format "b": every benchmark
# (HARD and SOFT, n10 to n300) at 10 % and 15 % whitespace, with the annealer
# and with the fixed-outline floorplanner ("-fenrik 1"), the defaults
# otherwise and "-annealSeed 1". Each case appends one row to
# BUILD/bench-gsrc/results.tsv (a case run again replaces its row); at the end
# the Markdown table of every row so far is printed:
#
#   runs/fit  runs made per fitting run (10 fitting runs are asked for)
#   best WL   standard half-perimeter wire length of the best floorplan (block
#             centres, terminals stretched onto the outline)
#   s/run     processor time per run (user + system), and the wall time per
#             run in brackets (the machine may be shared)
#   MiB       peak resident memory
#
#   bench/run-gsrc.sh [build-dir [gsrc-dir]]
#
# Environment: BENCHES (default "n10 n30 n50 n100 n200 n300"), VARIANTS
# ("HARD SOFT"), WHITESPACES ("10 15"),
# FLSUCCESS (10) and, per benchmark, FLSUCCESS_n300 and so on: annealing
# n300 takes minutes per run, so fewer fitting runs may be asked for there.
# FLOORPLANNERS ("anneal fenrik fenrik-reshapable") chooses the floorplanners.
# TABLE_ONLY=1 prints the table of the rows already measured.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
gsrc="${2:-}"
if [ -z "$gsrc" ]; then
  for candidate in "$root/../shared/benchmarks/gsrc" "$root/../../shared/benchmarks/gsrc"; do
    if [ -f "$candidate/HARD/n10.blocks" ]; then gsrc="$(cd "$candidate" && pwd)"; break; fi
  done
fi
osvo="$build/src/driver/osvo"
work="$build/bench-gsrc"
results="$work/results.tsv"
mkdir -p "$work"
touch "$results"

# One group of columns per floorplanner: "anneal", "fenrik" ("-fenrik 1") and
# "fenrik-reshapable" ("-fenrik 1 -reshapable 1": soft blocks take any shape
# in their aspect-ratio range).
table() {
  local fps="${TABLE_FLOORPLANNERS:-anneal fenrik fenrik-reshapable}"
  awk -F'\t' -v fps="$fps" '
    { key = $1 "\t" $2 "\t" $3; row[key "\t" $4] = $0; keys[key] = 1 }
    function cells(k,   f) {
      if (!(k in row)) return "| not run | | | "
      split(row[k], f, "\t")
      # f: variant bench ws floorplanner status runs fits bestWL cpu wall kb
      if (f[7] == 0) return sprintf("| %d/0 (status %s) | - | %.2f (%.0f) | %.1f ", f[6], f[5], f[9] / f[6], f[10] / f[6], f[11] / 1024)
      return sprintf("| %.2f (%d/%d) | %s | %.2f (%.0f) | %.1f ", f[6] / f[7], f[6], f[7], f[8], f[9] / f[6], f[10] / f[6], f[11] / 1024)
    }
    END {
      nf = split(fps, fp, " ")
      head = "| bench | WS "; rule = "|---|---"
      for (c = 1; c <= nf; c++) {
        head = head sprintf("| %s runs/fit | %s best WL | %s s/run | %s MiB ", fp[c], fp[c], fp[c], fp[c])
        rule = rule "|---|---|---|---"
      }
      print head "|"; print rule "|"
      n = 0
      for (k in keys) order[++n] = k
      # variant, then the benchmark size, then the whitespace
      for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) {
        split(order[i], a, "\t"); split(order[j], b, "\t")
        ka = a[1] sprintf("%05d%03d", substr(a[2], 2), a[3]); kb = b[1] sprintf("%05d%03d", substr(b[2], 2), b[3])
        if (kb < ka) { t = order[i]; order[i] = order[j]; order[j] = t }
      }
      for (i = 1; i <= n; i++) {
        split(order[i], a, "\t")
        line = sprintf("| %s/%s | %s %% ", a[1], a[2], a[3])
        for (c = 1; c <= nf; c++) line = line cells(order[i] "\t" fp[c])
        print line "|"
      }
    }' "$results"
}

if [ "${TABLE_ONLY:-0}" = 1 ]; then
  table
  exit 0
fi
if [ ! -x "$osvo" ]; then
  echo "run-gsrc: $osvo is missing; build first (make build)" >&2
  exit 1
fi
if [ -z "$gsrc" ] || [ ! -f "$gsrc/HARD/n10.blocks" ]; then
  echo "run-gsrc: GSRC benchmarks not found; give their directory as the second argument" >&2
  exit 1
fi

floorplanners="${FLOORPLANNERS:-anneal fenrik fenrik-reshapable}"

for bench in ${BENCHES:-n10 n30 n50 n100 n200 n300}; do
  perBench="FLSUCCESS_$bench"
  success="${!perBench:-${FLSUCCESS:-10}}"
  for variant in ${VARIANTS:-HARD SOFT}; do
    for ws in ${WHITESPACES:-10 15}; do
      for fp in $floorplanners; do
        dir="$work/$variant-$bench-$ws-$fp"
        rm -rf "$dir"
        mkdir -p "$dir"
        args=(-format b -d "$gsrc/$variant/$bench" -whitespace "$ws" -annealSeed 1 -seed 1
              -flSuccess "$success")
        case "$fp" in
          fenrik) args+=(-fenrik 1) ;;
          fenrik-reshapable) args+=(-fenrik 1 -reshapable 1) ;;
        esac
        status=0
        (cd "$dir" && /usr/bin/time -f "%U %S %e %M" -o time.txt "$osvo" "${args[@]}" \
           > report.txt 2> stderr.txt) || status=$?
        runs=$(grep -c '^The random seed for this run is: ' "$dir/report.txt" || true)
        fits=$(grep -c '^Iteration: ' "$dir/report.txt" || true)
        # The standard wire length printed for the last best floorplan: the
        # line before the one naming its placement file.
        best=$(awk '/^Standard HPWL / { last = $NF } /^Benchmark placement file is / { best = last }
                    END { print best }' "$dir/report.txt")
        read -r user sys wall kb < <(tail -n 1 "$dir/time.txt")
        cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')
        grep -v -P "^$variant\t$bench\t$ws\t$fp\t" "$results" > "$results.new" || true
        printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$variant" "$bench" "$ws" "$fp" \
          "$status" "$runs" "$fits" "${best:--}" "$cpu" "$wall" "$kb" >> "$results.new"
        mv "$results.new" "$results"
        echo "run-gsrc: $variant/$bench $ws % $fp: status $status, $fits of $runs runs fit, best WL ${best:--}" >&2
      done
    done
  done
done
table
