#!/bin/bash
# run_case.sh CASE NSUB NPER SEED0 [PREFIX [FIRST]] : sub-runs one after another at low priority
set -e
source /work/egsnrc/env.sh
case=$1; nsub=$2; nper=$3; s0=$4; prefix=${5:-$1}; first=${6:-1}
out=/work/egsnrc/runs/$prefix; mkdir -p $out
cd $EGS_HOME/dosrznrc
for name in $(python3 /work/egsnrc/runs/make_inputs.py $case $nsub $nper $s0 $prefix $first); do
  nice -n 10 ../bin/linux/dosrznrc -i $name > $out/$name.stdout 2>&1
  mv $name.egsinp $name.egslst $name.egsraw $out/
  rm -f $name.errors $name.mederr
  echo "$(date +%T) $name done: $(grep 'Finished simulations' $out/$name.egslst)"
done
