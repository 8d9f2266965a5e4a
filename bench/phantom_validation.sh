#!/usr/bin/env bash
# Slab phantoms in the accurate transport: the Fano test at 3e6 electrons (0.5 % bound), the
# lung slab (water 0-3, lung 3-13, water 13-30 cm) and all-water with the 6 MV spectrum
# against the reference code, and the speed of a lung-slab run against a water run.
# Usage: bash bench/phantom_validation.sh [PHOTONS]   (default 6.00E+06; after building
# Kestrun and physics_accurate_transport_test)
set -euo pipefail
cd "$(dirname "$0")/.."
N=${1:-6.00E+06}
K=$(realpath build/workdir/Kestrun)
R=../shared/reference/egsnrc-slabs
FANO_ELECTRONS=3000000 build/tests/physics/physics_accurate_transport_test \
  --gtest_filter='SlabPhantomTest.Fano*' | grep -E 'Fano:|OK|FAILED'
OUT=$(mktemp -d)
for case in lung water; do
  mkdir -p "$OUT/$case"
  cp build/workdir/*.dat build/workdir/6MV.csv "$OUT/$case/"
  printf '6MV.csv\r\nr.data\r\n%s\r\n' "$N" > "$OUT/$case/Joken.dat"
  printf 'water 3\nlung 10\n' > "$OUT/$case/lung.txt"
done
args_lung=(--phantom lung.txt)
args_water=(--accurate)
for case in lung water; do
  var="args_${case}[@]"
  (cd "$OUT/$case" && /usr/bin/time -f "$case: %U s user" "$K" "${!var}" </dev/null >/dev/null)
done
echo -n "lung slab "; python3 bench/phantom_validation.py "$OUT/lung/r.data" "$R/egsnrc_G1_lung_6MV_fields.csv"
echo -n "water "; python3 bench/phantom_validation.py "$OUT/water/r.data" "$R/egsnrc_G0_water_6MV_fields.csv"
echo "results kept in $OUT"
