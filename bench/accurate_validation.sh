#!/usr/bin/env bash
# The accurate transport against the reference code: monoenergetic pencil beams at the four
# energies folded into the 10 x 10 cm field, each from two independent runs of HISTORIES
# (default 1e6), then the step-size study at 14.975 MeV (every step limit halved).
# Usage: bash bench/accurate_validation.sh [HISTORIES]   (after building accurate_depth_dose)
set -euo pipefail
cd "$(dirname "$0")/.."
N=${1:-1000000}
B=build/bench/accurate_depth_dose
R=../shared/reference/egsnrc-water
OUT=$(mktemp -d)
run() {  # mode energy seed scale
  "$B" "$1" "$2" "$N" "$3" "$4" > "$OUT/$1-$2-$3-$4.csv"
}
for E in 1.975 5.975 9.975 14.975; do
  run accurate $E 11 1 & run accurate $E 12 1 & wait
  # The first two energies ship in the shared reference, the other two in bench/reference/.
  for ref in {$R,bench/reference/egsnrc-water}/egsnrc_E{0,}${E}MeV_fields.csv; do
    [ -f "$ref" ] && break
  done
  echo -n "$E MeV: "
  if [ -f "$ref" ]; then
    python3 bench/accurate_validation.py "$OUT/accurate-$E-11-1.csv+$OUT/accurate-$E-12-1.csv" "$ref"
    echo -n "$E MeV: "
    python3 bench/accurate_validation.py "$OUT/accurate-$E-11-1.csv+$OUT/accurate-$E-12-1.csv" \
      --broad "${ref%_fields.csv}_edep_grid.csv"
  else
    python3 bench/accurate_validation.py "$OUT/accurate-$E-11-1.csv+$OUT/accurate-$E-12-1.csv"
  fi
done
# The same seeds: each history starts its own stream, so both step sizes share their photons.
run accurate 14.975 11 0.5 & run accurate 14.975 12 0.5 & wait
echo -n "14.975 MeV, step limits halved: "
python3 bench/accurate_validation.py "$OUT/accurate-14.975-11-0.5.csv+$OUT/accurate-14.975-12-0.5.csv" \
  --against "$OUT/accurate-14.975-11-1.csv+$OUT/accurate-14.975-12-1.csv"
echo -n "the same, beam as wide as the phantom: "
python3 bench/accurate_validation.py "$OUT/accurate-14.975-11-0.5.csv+$OUT/accurate-14.975-12-0.5.csv" \
  --field 50 --against "$OUT/accurate-14.975-11-1.csv+$OUT/accurate-14.975-12-1.csv"
echo "curves kept in $OUT"
