#!/usr/bin/env bash
# The accurate transport against every case the reference code was run for: the 10 x 10 cm
# field of monoenergetic pencil beams in water at 1.975, 5.975, 9.975 and 14.975 MeV
# (accurate_depth_dose), and the lung and bone slabs with the 6 and 15 MV spectra (Kestrun
# --phantom), each from two independent seeds; prints one Markdown table of the bounds that
# must hold (bench/reference_validation.py).
# Usage: bash bench/reference_validation.sh [HISTORIES] [PHOTONS] [OUT]
#   HISTORIES per water run (default 1000000), PHOTONS per slab run (default 6.00E+06), OUT a
#   folder for the curves: runs whose result is already there are not run again, so a table
#   can be remade when the references change. Needs Kestrun and accurate_depth_dose built.
set -euo pipefail
cd "$(dirname "$0")/.."
N=${1:-1000000}
P=${2:-6.00E+06}
OUT=${3:-$(mktemp -d)}
mkdir -p "$OUT"
B=build/bench/accurate_depth_dose
K=$(realpath build/workdir/Kestrun)
for E in 1.975 5.975 9.975 14.975; do
  for seed in 11 12; do
    f=$OUT/water-$E-$seed.csv
    [ -s "$f" ] || { "$B" accurate "$E" "$N" "$seed" > "$f.part" 2>/dev/null && mv "$f.part" "$f"; }
  done
done
slab() {  # name beam layers...
  local name=$1 beam=$2
  shift 2
  for seed in 1 2; do
    local dir=$OUT/$name-$seed
    [ -s "$dir/r.data" ] && continue
    mkdir -p "$dir"
    cp build/workdir/*.dat "build/workdir/$beam.csv" "$dir/"
    printf '%s.csv\r\nr.data\r\n%s\r\n' "$beam" "$P" > "$dir/Joken.dat"
    printf '%s\n' "$@" > "$dir/phantom.txt"
    (cd "$dir" && "$K" --phantom phantom.txt --seed "$seed" </dev/null >/dev/null)
  done
}
slab lung-6MV 6MV 'water 3' 'lung 10'
slab bone-6MV 6MV 'water 2' 'bone 2'
slab bone-15MV 15MV 'water 2' 'bone 2'
slab lung-15MV 15MV 'water 3' 'lung 10'
python3 bench/reference_validation.py "$OUT"
echo "curves kept in $OUT"
