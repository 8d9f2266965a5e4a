#!/usr/bin/env bash
# Times the WebAssembly Kestrun under Node against the native Kestrun on one core
# (--threads 1), both on the 10 MV spectrum with the same photon total in scratch working
# directories, and prints histories per second of each run and the ratio of the best
# runs. The WebAssembly engine runs both its modes: the single stream (its default, on one
# core as it has no second) and the block streams on its one thread, the native mode's work.
# The times include starting the program (for Node, compiling the module: some 0.1 s).
#   bench/kestrun_wasm_bench.sh [path/to/kestrun.js] [path/to/Kestrun] [photon total] [runs]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
wasm="${1:-$root/build/web/kestrun.js}"
native="${2:-$root/build/workdir/Kestrun}"
photons="${3:-1.00E+06}"
runs="${4:-2}"
data="$root/data"
[ -f "$wasm" ] || { echo "kestrun.js not found at $wasm (tools/build-web.sh builds it)"; exit 1; }
[ -x "$native" ] || { echo "Kestrun not found at $native (tools/build.sh builds it)"; exit 1; }
command -v node > /dev/null || { echo "node not found"; exit 1; }
wasm="$(cd "$(dirname "$wasm")" && pwd)/$(basename "$wasm")"
native="$(cd "$(dirname "$native")" && pwd)/$(basename "$native")"
for f in water20.dat ELDAT.dat 10MV.csv; do
  [ -f "$data/$f" ] || { echo "missing data file $data/$f"; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$data/water20.dat" "$data/ELDAT.dat" "$data/10MV.csv" "$work/"
bash "$root/tools/write_joken.sh" 10MV.csv 10MV-bench.data "$photons" "$work"

# Histories actually run (bench/histories.sh).
source "$root/bench/histories.sh"
histories="$(histories "$data/10MV.csv" "$photons")"

cd "$work"
# One timed run: prints "<label> <wall seconds> <user CPU seconds>".
timed() {
  local label="$1"
  shift
  rm -f 10MV-bench.data
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -f '%e %U' -o time.txt "$@" < /dev/null > console.txt
  else
    local start
    start=$(date +%s.%N)
    "$@" < /dev/null > console.txt
    echo "$(echo "$(date +%s.%N) - $start" | bc) n/a" > time.txt
  fi
  [ -f 10MV-bench.data ] || { echo "$label wrote no result file:"; cat console.txt; exit 1; }
  echo "$label $(cat time.txt)"
}

# The runs of each take turns, so that a busy spell of the machine falls on all of them.
results=()
for ((r = 1; r <= runs; r++)); do
  results+=("$(timed native "$native" --threads 1)")
  results+=("$(timed wasm-single "$(command -v node)" "$wasm")")
  results+=("$(timed wasm-blocks "$(command -v node)" "$wasm" --threads 1)")
done

echo "10MV.csv, N = $photons: $histories histories; node $(node --version), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%s\n' "${results[@]}" | awk -v h="$histories" '
  { rate = h / $2; printf "  %-12s %6.2f s (user CPU %s s)  %8.0f histories/s\n", $1, $2, $3, rate
    if (!($1 in best) || rate > best[$1]) best[$1] = rate }
  END {
    printf "best: native --threads 1 %.0f/s; wasm single stream %.0f/s (%.2f x native); " \
           "wasm --threads 1 %.0f/s (%.2f x native)\n", best["native"], best["wasm-single"],
           best["wasm-single"] / best["native"], best["wasm-blocks"], best["wasm-blocks"] / best["native"]
  }'
