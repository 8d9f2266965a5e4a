#!/usr/bin/env bash
# Does d_max move with the number of photons? For 4, 10 and 15 MV (10 x 10 cm) runs Kestrun
# once with many photons (the high-statistics value) and SEEDS times (--seed 1..) at 3.00E+04
# and 1.00E+05 photons, and the visual screen's batch (bench visual_readings) SEEDS times at
# 1e5 photons for 4 and 15 MV; prints the mean d_max of each set with its standard error
# beside the high-statistics value, and fails where a mean lies farther from it than the
# bound: 0.15 cm for the engine, 0.15 cm (4 MV) and 0.2 cm (15 MV) for the visual screen,
# whose scoring cylinder and coarser statistics are its own. The table is the one in
# docs/uncertainties.md.
#   bench/dmax_bias.sh [Kestrun] [seeds]
# Defaults: build/workdir/Kestrun, 32. HIGH (default 4.00E+06) is the high-statistics run's
# photon count; THREADS (default 0, one per core) goes to --threads; with KEEP=folder the
# runs stay there and are not made again.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
kestrun="${1:-$root/build/workdir/Kestrun}"
seeds="${2:-32}"
high="${HIGH:-4.00E+06}"
bench="$(dirname "$kestrun")/../bench"
table="$bench/result_table"
visual="$bench/visual_readings"
for tool in "$kestrun" "$table" "$visual"; do
  [ -x "$tool" ] || { echo "$tool not found (build it first)"; exit 1; }
done
kestrun="$(cd "$(dirname "$kestrun")" && pwd)/$(basename "$kestrun")"
source "$root/bench/work_folder.sh"
cp "$root/data/water20.dat" "$root/data/ELDAT.dat" "$root"/data/*MV.csv "$work/"

# run NAME PHOTONS SEED ENERGY: one Kestrun run, unless KEEP already holds it.
run() {
  [ -n "${KEEP:-}" ] && [ -f "$work/$1.stat" ] && return
  bash "$root/tools/write_joken.sh" "$4MV.csv" "$1.data" "$2" "$work"
  (cd "$work" && "$kestrun" --seed "$3" --threads "${THREADS:-0}" < /dev/null > console.txt) ||
    { cat "$work/console.txt"; exit 1; }
}
# The mean and standard error of the d_max column of result_table's text on stdin.
mean_dmax() {
  awk -F'\t' 'NR == 1 { for (i = 1; i <= NF; i++) c[$i] = i; next }
    $c["d_max_cm"] != "" { n++; s += $c["d_max_cm"]; q += $c["d_max_cm"]^2 }
    END { m = s / n; printf "%d %.3f %.3f\n", n, m, sqrt((q - n * m * m) / (n - 1) / n) }'
}

status=0
printf '| beam | screen | photons | runs with a d_max | mean d_max [cm] | high-statistics [cm] | difference [cm] | bound [cm] |\n'
printf '|---|---|---|---|---|---|---|---|\n'
for e in 4 10 15; do
  run "${e}M-high" "$high" 1000 "$e"
  reference=$("$table" 10 "$work/${e}M-high.data" | mean_dmax | cut -d' ' -f2)
  for photons in 3.00E+04 1.00E+05; do
    files=()
    for s in $(seq 1 "$seeds"); do
      run "${e}M-${photons:0:1}e${photons: -1}-$s" "$photons" "$s" "$e"
      files+=("$work/${e}M-${photons:0:1}e${photons: -1}-$s.data")
    done
    read -r n mean se < <("$table" 10 "${files[@]}" | mean_dmax)
    row=$(awk -v e="$e" -v p="$photons" -v n="$n" -v s="$seeds" -v m="$mean" -v se="$se" -v r="$reference" 'BEGIN {
      d = m - r; printf "| %s MV | engine | %s | %d of %d | %.3f ± %.3f | %.3f | %+.3f | 0.15 |", e, p, n, s, m, se, r, d
      exit (d > 0.15 || d < -0.15) }') || status=1
    echo "$row"
  done
  if [ "$e" != 10 ]; then
    bound=$([ "$e" = 4 ] && echo 0.15 || echo 0.2)
    summary=$("$visual" "$root/data" "$e" 10 100000 "$seeds" 1001 | tail -1)
    row=$(awk -v e="$e" -v r="$reference" -v b="$bound" -v s="$seeds" '{
      # The first "build-up" is the count of curves that build up; the first "mean", d_max'"'"'s.
      for (i = NF; i >= 1; i--) { if ($i == "mean") m = $(i + 1); if ($i == "+-") se = $(i + 1)
                                  if ($i == "build-up") n = $(i + 1) + 0 }
      d = m - r; printf "| %s MV | visual | 1.00E+05 | %d of %d | %.3f ± %.3f | %.3f | %+.3f | %s |", e, n, s, m, se, r, d, b
      exit (d > b || d < -b) }' <<< "$summary") || status=1
    echo "$row"
  fi
done
exit $status
