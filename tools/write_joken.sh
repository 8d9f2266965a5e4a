#!/usr/bin/env bash
# Writes Joken.dat, the run conditions Kestrun reads: the spectrum file, the result file and
# the photon total, one to a line, each line ended by CR LF as the engine expects.
#   bash tools/write_joken.sh SPECTRUM RESULT PHOTONS [DIR]
# e.g. bash tools/write_joken.sh 10MV.csv 10MV-30M.data 3.00E+07 build/workdir
set -euo pipefail
if [ $# -lt 3 ] || [ $# -gt 4 ]; then
  echo "usage: bash tools/write_joken.sh SPECTRUM RESULT PHOTONS [DIR]" >&2
  exit 2
fi
printf '%s\r\n%s\r\n%s\r\n' "$1" "$2" "$3" > "${4:-.}/Joken.dat"
