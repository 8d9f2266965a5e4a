#!/usr/bin/env bash
# Speed of the accurate transport against the exact one on the 10 MV spectrum, measured in
# one run of this script: Kestrun's single stream, exact and --accurate in turn, ROUNDS
# times each (default 3), on N photons (default 3.00E+05). Prints each rate, the best of
# each mode and their ratio (the bound: accurate at least 0.3 times exact).
#   bench/accurate_speed.sh [path/to/Kestrun] [photons] [rounds]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
kestrun="${1:-$root/build/workdir/Kestrun}"
photons="${2:-3.00E+05}"
rounds="${3:-3}"
rate() { bash "$root/bench/kestrun_bench.sh" "$kestrun" "$photons" "$@" | awk '/histories per second/ {print $4}'; }
best_exact=0
best_accurate=0
for ((r = 1; r <= rounds; ++r)); do
  e=$(rate)
  a=$(rate --accurate)
  echo "round $r: exact $e histories/s, accurate $a histories/s"
  best_exact=$(( e > best_exact ? e : best_exact ))
  best_accurate=$(( a > best_accurate ? a : best_accurate ))
done
awk -v e="$best_exact" -v a="$best_accurate" 'BEGIN {
  printf "best: exact %d, accurate %d histories/s; accurate / exact = %.2f\n", e, a, a / e }'
