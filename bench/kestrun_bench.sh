#!/usr/bin/env bash
# Times Kestrun on the 10 MV spectrum with N = 1.00E+06 in a scratch working directory and
# prints histories per second, peak memory and the projected time of the default run
# (3.00E+07 photons). Further arguments go to Kestrun (e.g. --threads 2).
#   bench/kestrun_bench.sh [path/to/Kestrun] [photon total] [Kestrun arguments...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
kestrun="${1:-$root/build/workdir/Kestrun}"
photons="${2:-1.00E+06}"
shift $(( $# < 2 ? $# : 2 ))
data="$root/data"
[ -x "$kestrun" ] || { echo "Kestrun not found at $kestrun (build it first)"; exit 1; }
kestrun="$(cd "$(dirname "$kestrun")" && pwd)/$(basename "$kestrun")"
for f in water20.dat ELDAT.dat 10MV.csv; do
  [ -f "$data/$f" ] || { echo "missing data file $data/$f"; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$data/water20.dat" "$data/ELDAT.dat" "$data/ELACC.dat" "$data/10MV.csv" "$work/"
bash "$root/tools/write_joken.sh" 10MV.csv 10MV-bench.data "$photons" "$work"

# Histories actually run (bench/histories.sh).
source "$root/bench/histories.sh"
histories="$(histories "$data/10MV.csv" "$photons")"

cd "$work"
if [ -x /usr/bin/time ]; then
  /usr/bin/time -f '%e %M %U' -o time.txt "$kestrun" "$@" < /dev/null > console.txt
  read -r seconds peak_kb cpu < time.txt
else
  start=$(date +%s.%N)
  "$kestrun" "$@" < /dev/null > console.txt
  cpu="n/a"
  seconds=$(echo "$(date +%s.%N) - $start" | bc)
  peak_kb="n/a"
fi
[ -f 10MV-bench.data ] || { echo "Kestrun wrote no result file:"; cat console.txt; exit 1; }

awk -v h="$histories" -v s="$seconds" -v m="$peak_kb" -v n="$photons" -v c="$cpu" -v a="$*" 'BEGIN {
  rate = h / s
  printf "Kestrun %s, 10MV.csv, N = %s: %d histories in %.2f s (user CPU %s s)\n", a, n, h, s, c
  printf "histories per second: %.0f\n", rate
  printf "peak memory (max RSS): %s KiB\n", m
  printf "projected default run (3.00E+07 photons): %.1f s\n", 3.0e7 * (h / n) / rate
}'
