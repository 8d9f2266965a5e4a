#!/usr/bin/env bash
# The engine on workers (node build/web/kestrun.mjs --threads N, the browser's block
# hand-out on Node worker threads) against native Kestrun --threads 1 on the 10 MV spectrum:
# histories per second of one worker against the native core, and the speed-up from 1 to 2
# workers. Times are wall-clock and include starting Node and compiling the module in each
# worker (some 0.2 s). The files of every run must be identical; the script says so.
#   bench/kestrun_workers_bench.sh [photon total] [runs]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
photons="${1:-1.00E+06}"
runs="${2:-2}"
mjs="$root/build/web/kestrun.mjs"
native="$root/build/workdir/Kestrun"
[ -f "$mjs" ] || { echo "kestrun.mjs not found (tools/build-web.sh builds it)"; exit 1; }
[ -x "$native" ] || { echo "Kestrun not found (tools/build.sh builds it)"; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$root/data/water20.dat" "$root/data/ELDAT.dat" "$root/data/10MV.csv" "$work/"
bash "$root/tools/write_joken.sh" 10MV.csv b.data "$photons" "$work"
source "$root/bench/histories.sh"
histories="$(histories "$root/data/10MV.csv" "$photons")"
cd "$work"
best() {  # best wall time of $runs runs of the command; keeps the last file as $label.data
  local label="$1" t b=""
  shift
  for ((r = 0; r < runs; r++)); do
    rm -f b.data
    local start end
    start=$(date +%s.%N)
    "$@" < /dev/null > /dev/null
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc)
    [ -z "$b" ] || [ "$(echo "$t < $b" | bc)" = 1 ] && b=$t
  done
  mv b.data "$label.data"
  echo "$b"
}
n1=$(best native1 "$native" --threads 1)
w1=$(best wasm1 node "$mjs" --threads 1)
w2=$(best wasm2 node "$mjs" --threads 2)
cmp -s wasm1.data wasm2.data && same="identical" || same="DIFFERENT"
printf 'histories: %s (10 MV, %s photons), best of %s runs\n' "$histories" "$photons" "$runs"
printf 'native Kestrun --threads 1: %6.2f s  %8.0f histories/s\n' "$n1" "$(echo "$histories / $n1" | bc -l)"
printf 'kestrun.mjs --threads 1:    %6.2f s  %8.0f histories/s per worker (%.2f of native)\n' \
  "$w1" "$(echo "$histories / $w1" | bc -l)" "$(echo "$n1 / $w1" | bc -l)"
printf 'kestrun.mjs --threads 2:    %6.2f s  %8.0f histories/s per worker, speed-up 1 -> 2: %.2f\n' \
  "$w2" "$(echo "$histories / $w2 / 2" | bc -l)" "$(echo "$w1 / $w2" | bc -l)"
echo "result files of 1 and 2 workers: $same"
