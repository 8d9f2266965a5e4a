#!/usr/bin/env bash
# Are the stated uncertainties honest? Runs Kestrun RUNS times with independent seeds
# (--seed FIRST_SEED..) for each energy, reads every run's d_max, surface dose, D10/Dmax and
# TPR20,10 of the 10 x 10 cm field with the uncertainties measured from its own history
# groups (result_table), and prints per energy and number the mean, the spread of the values
# over the runs, the mean stated uncertainty, and the SD of the pulls (value - mean) / u
# (over n - 1, as the mean comes from the same runs). Only the numbers the table shows with
# a "±" count: a run too short to read its d_max shows none. Honest uncertainties give pull
# SDs near 1; the script fails unless every one lies within 0.7..1.4. A pull SD of 48 runs is
# itself uncertain by about 10 %, so honest uncertainties stay inside (one of 16 runs, by
# 18 %, would fall outside 0.65..1.5 once in twenty: pool at least 48).
#   bench/seed_calibration.sh [Kestrun] [photons] [runs] [energy...]
# Defaults: build/workdir/Kestrun, 3.00E+05, 48, energies 4 10 15. THREADS (default 0, one
# per core) goes to --threads; FIRST_SEED (default 1) is the first of the runs' seeds. With
# KEEP=folder the runs stay there, and runs already there are not made again (to look at the
# same runs with another build of result_table).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
kestrun="${1:-$root/build/workdir/Kestrun}"
photons="${2:-3.00E+05}"
runs="${3:-48}"
shift $(( $# < 3 ? $# : 3 ))
energies=("$@")
((${#energies[@]})) || energies=(4 10 15)
table="${RESULT_TABLE:-$(dirname "$kestrun")/../bench/result_table}"
[ -x "$kestrun" ] || { echo "Kestrun not found at $kestrun (build it first)"; exit 1; }
[ -x "$table" ] || { echo "result_table not found at $table (build it first)"; exit 1; }
kestrun="$(cd "$(dirname "$kestrun")" && pwd)/$(basename "$kestrun")"
(( runs >= 48 )) || echo "note: $runs runs; a pull SD of fewer than 48 is too uncertain to judge by 0.7..1.4"

source "$root/bench/work_folder.sh"
cp "$root/data/water20.dat" "$root/data/ELDAT.dat" "$work/"
status=0
printf '%-6s %-9s %4s %8s %8s %8s %8s\n' energy quantity runs mean spread mean_u pull_sd
for e in "${energies[@]}"; do
  cp "$root/data/${e}MV.csv" "$work/"
  files=()
  first="${FIRST_SEED:-1}"
  for s in $(seq "$first" $((first + runs - 1))); do
    # Short names: the conditions file keeps 20 characters of a result's name.
    if [ -z "${KEEP:-}" ] || [ ! -f "$work/${e}M-$s.stat" ]; then
      bash "$root/tools/write_joken.sh" "${e}MV.csv" "${e}M-$s.data" "$photons" "$work"
      (cd "$work" && "$kestrun" --seed "$s" --threads "${THREADS:-0}" < /dev/null > console.txt) ||
        { cat "$work/console.txt"; exit 1; }
    fi
    files+=("$work/${e}M-$s.data")
  done
  "$table" 10 "${files[@]}" > "$work/table.tsv"
  for q in d_max:d_max_cm:d_max_u_cm surface:surface_pct:surface_u_pct d10:d10_pct:d10_u_pct \
           tpr20_10:tpr20_10:tpr20_10_u; do
    IFS=: read -r name value sigma <<< "$q"
    line=$(awk -F'\t' -v value="$value" -v sigma="$sigma" -v e="$e" -v name="$name" '
      NR == 1 { for (i = 1; i <= NF; i++) column[$i] = i; v = column[value]; u = column[sigma]; next }
      $v != "" && $u > 0 { n++; x[n] = $v; s[n] = $u }
      END {
        if (n < 3) { printf "%-6s %-9s too few runs with a value\n", e " MV", name; exit 2 }
        for (i = 1; i <= n; i++) mean += x[i] / n
        for (i = 1; i <= n; i++) { sd += (x[i] - mean)^2 / (n - 1); mu += s[i] / n
                                   p += ((x[i] - mean) / s[i])^2 / (n - 1) }
        # Dividing by n - 1 undoes the mean being taken from the same runs.
        pull = sqrt(p)
        printf "%-6s %-9s %4d %8.4f %8.4f %8.4f %8.2f\n", e " MV", name, n, mean, sqrt(sd), mu, pull
        if (pull < 0.7 || pull > 1.4) exit 1 }' "$work/table.tsv") || status=1
    echo "$line"
  done
done
exit $status
