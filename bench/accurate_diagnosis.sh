#!/usr/bin/env bash
# Which simplification of the exact transport moves the build-up how much: at 5.975 MeV, the
# accurate transport with one ingredient at a time turned back to the exact transport's
# simplification, and the exact transport itself, each against the reference code's 10 x 10
# cm curve (two independent runs of HISTORIES each, default 1e6).
# Usage: bash bench/accurate_diagnosis.sh [HISTORIES]   (after building accurate_depth_dose)
set -euo pipefail
cd "$(dirname "$0")/.."
N=${1:-1000000}
B=build/bench/accurate_depth_dose
REF=../shared/reference/egsnrc-water/egsnrc_E05.975MeV_fields.csv
OUT=$(mktemp -d)
variant() {  # name mode [options]
  local name=$1 mode=$2
  shift 2
  "$B" "$mode" 5.975 "$N" 21 1 "$@" > "$OUT/$name-21.csv" 2>/dev/null &
  "$B" "$mode" 5.975 "$N" 22 1 "$@" > "$OUT/$name-22.csv" 2>/dev/null &
  wait
  printf '%-14s ' "$name"
  python3 bench/accurate_validation.py "$OUT/$name-21.csv+$OUT/$name-22.csv" "$REF"
}
variant accurate accurate
variant local-delta accurate local-delta
variant local-photons accurate local-photons
variant no-hinge accurate no-hinge
variant last-305 accurate last-305
variant steps-8.3 accurate steps-8.3
variant exact exact
echo "curves kept in $OUT"
