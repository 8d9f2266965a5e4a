#!/usr/bin/env bash
# Histories per second of Kestrun on 10MV.csv (bench/kestrun_bench.sh): the single stream,
# an older Kestrun beside it when BASELINE names one, and the block streams on N = 1..nproc
# threads. Each figure is the best of REPEAT runs (default 3): other work on the machine only
# ever slows a run down.
#   [BASELINE=old/Kestrun] [REPEAT=3] bench/kestrun_scaling.sh [path/to/Kestrun] [photon total]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
kestrun="${1:-$here/../build/workdir/Kestrun}"
photons="${2:-1.00E+06}"
repeat="${REPEAT:-3}"

best() {  # best histories per second of `repeat` runs: best <Kestrun> [arguments...]
  local k="$1" top=0 rate
  shift
  for _ in $(seq "$repeat"); do
    rate="$(bash "$here/kestrun_bench.sh" "$k" "$photons" "$@" | awk '/^histories per second/ { print $4 }')"
    top="$(awk -v a="$top" -v b="$rate" 'BEGIN { print (b > a ? b : a) }')"
  done
  echo "$top"
}

echo "Kestrun, 10MV.csv, N = $photons, best of $repeat runs, $(nproc) cores"
exact="$(best "$kestrun")"
if [ -n "${BASELINE:-}" ]; then
  base="$(best "$BASELINE")"
  awk -v b="$base" -v e="$exact" 'BEGIN { printf "single stream, baseline   %9.0f histories/s\nsingle stream             %9.0f histories/s  (%.2fx)\n", b, e, e / b }'
else
  printf "single stream             %9.0f histories/s\n" "$exact"
fi
for n in $(seq "$(nproc)"); do
  rate="$(best "$kestrun" --threads "$n")"
  awk -v n="$n" -v r="$rate" -v e="$exact" 'BEGIN { printf "--threads %-3d             %9.0f histories/s  (%.2fx the single stream)\n", n, r, r / e }'
done
