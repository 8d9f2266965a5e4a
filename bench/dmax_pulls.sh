#!/usr/bin/env bash
# Is the visual screen's d_max ± honest at the photon counts a class runs? For 4, 6 and 15 MV
# in 4 x 4 and 10 x 10 cm fields (the visual screen's parallel beam) runs the screen's batch
# (bench visual_readings) SEEDS times at each of 1e3, 3e3, 1e4 and 3e4 photons and reads each
# curve as the screens read it. The value the readings scatter about is the d_max the same
# estimator finds in LONG-photon runs (TRUTH_SEEDS of them, averaged). For every run that
# shows a d_max the pull is (d_max - that value) / its ±; the table gives the share of runs
# that show one, the root mean square of the pulls, the share beyond 2 and 3 (an honest Gaussian ± leaves
# about 4.6 % and 0.3 % there) and the share said "too few photons".
#   bench/dmax_pulls.sh [bench-folder] [seeds]
# Defaults: build/bench, 200. LONG (default 1000000), TRUTH_SEEDS (default 4); BEAMS
# ("4:4 4:10 ..."), COUNTS; JOBS (default 2) runs in parallel; with KEEP=folder the runs
# stay there and are not made again.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bench="${1:-$root/build/bench}"
seeds="${2:-200}"
long="${LONG:-1000000}"
truth_seeds="${TRUTH_SEEDS:-4}"
beams="${BEAMS:-4:4 4:10 6:4 6:10 15:4 15:10}"
counts="${COUNTS:-1000 3000 10000 30000}"
visual="$bench/visual_readings"
[ -x "$visual" ] || { echo "$visual not found (build it first)"; exit 1; }
visual="$(cd "$(dirname "$visual")" && pwd)/$(basename "$visual")"
source "$root/bench/work_folder.sh"

# Every run to make, one line each: NAME ENERGY FIELD PHOTONS SEEDS FIRST_SEED.
jobs=()
for beam in $beams; do
  e=${beam%%:*} f=${beam##*:}
  jobs+=("${e}M${f}-truth $e $f $long $truth_seeds 900001")
  for n in $counts; do jobs+=("${e}M${f}-$n $e $f $n $seeds 1"); done
done
# one NAME ENERGY FIELD PHOTONS SEEDS FIRST_SEED: the readings of one set, unless KEEP holds them.
one() {
  [ -s "$work/$1.txt" ] && return
  nice -n 10 "$visual" "$root/data" "$2" "$3" "$4" "$5" "$6" > "$work/$1.part" && mv "$work/$1.part" "$work/$1.txt"
}
export -f one
export work visual root
printf '%s\n' "${jobs[@]}" | xargs -P "${JOBS:-2}" -L 1 bash -c 'one "$@"' _

# The d_max of the long runs (mean, and its standard error), then one table row for each set.
printf '| beam | photons | runs | d_max shown | too few photons | long-run d_max [cm] | mean reading [cm] | mean ± [cm] | RMS pull | abs(pull) > 2 | abs(pull) > 3 |\n'
printf '|---|---|---|---|---|---|---|---|---|---|---|\n'
for beam in $beams; do
  e=${beam%%:*} f=${beam##*:}
  read -r truth truth_se < <(awk -F'\t' '$1 ~ /^[0-9]+$/ { n++; s += $3; q += $3 * $3 }
    END { m = s / n; printf "%.3f %.3f\n", m, (n > 1 ? sqrt((q - n * m * m) / (n - 1) / n) : 0) }' "$work/${e}M${f}-truth.txt")
  for n in $counts; do
    awk -F'\t' -v e="$e" -v f="$f" -v p="$n" -v t="$truth" -v tse="$truth_se" '
      $1 ~ /^[0-9]+$/ { runs++
        if ($2 == "too-few") few++
        if ($2 == "build-up" && $4 > 0) { shown++; d += $3; u += $4; z = ($3 - t) / $4; q += z * z
          if (z > 2 || z < -2) over2++; if (z > 3 || z < -3) over3++ } }
      END { printf "| %s MV %sx%s | %d | %d | %.0f %% | %.0f %% | %.3f ± %.3f | %s | %s | %s | %.1f %% | %.1f %% |\n",
              e, f, f, p, runs, 100 * shown / runs, 100 * few / runs, t, tse,
              (shown ? sprintf("%.2f", d / shown) : "-"), (shown ? sprintf("%.2f", u / shown) : "-"),
              (shown > 1 ? sprintf("%.2f", sqrt(q / shown)) : "-"),
              (shown ? 100 * over2 / shown : 0), (shown ? 100 * over3 / shown : 0) }' "$work/${e}M${f}-$n.txt"
  done
done
