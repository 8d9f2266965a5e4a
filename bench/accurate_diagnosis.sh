#!/usr/bin/env bash
# Which simplification of the exact transport moves the build-up how much: at 5.975 MeV, the
# accurate transport with one ingredient at a time turned back to the exact transport's
# simplification, and the exact transport itself, each against the reference code's 10 x 10
# cm curve (two runs of HISTORIES each, default 1e6), and against the accurate transport on
# the same seeds (each history starts its own stream, so the variants share their photons and
# their differences carry little of the photons' noise), also for the beam as wide as the
# phantom.
# Usage: bash bench/accurate_diagnosis.sh [HISTORIES]   (after building accurate_depth_dose)
set -euo pipefail
cd "$(dirname "$0")/.."
N=${1:-1000000}
B=build/bench/accurate_depth_dose
REF=../shared/reference/egsnrc-water/egsnrc_E05.975MeV_fields.csv
GRID=../shared/reference/egsnrc-water/egsnrc_E05.975MeV_edep_grid.csv
OUT=$(mktemp -d)
variant() {  # name mode [options]
  local name=$1 mode=$2
  shift 2
  "$B" "$mode" 5.975 "$N" 21 1 "$@" > "$OUT/$name-21.csv" 2>/dev/null &
  "$B" "$mode" 5.975 "$N" 22 1 "$@" > "$OUT/$name-22.csv" 2>/dev/null &
  wait
  printf '%-14s ' "$name"
  python3 bench/accurate_validation.py "$OUT/$name-21.csv+$OUT/$name-22.csv" "$REF"
  printf '%-14s ' "$name"
  python3 bench/accurate_validation.py "$OUT/$name-21.csv+$OUT/$name-22.csv" --broad "$GRID"
  if [ "$name" != accurate ]; then
    printf '%-14s against accurate: ' "$name"
    python3 bench/accurate_validation.py "$OUT/$name-21.csv+$OUT/$name-22.csv" \
      --shift "$OUT/accurate-21.csv+$OUT/accurate-22.csv"
  fi
}
variant accurate accurate
variant local-delta accurate local-delta
variant local-photons accurate local-photons
variant no-hinge accurate no-hinge
variant last-305 accurate last-305
variant steps-8.3 accurate steps-8.3
variant exact exact
echo "curves kept in $OUT"
