#!/usr/bin/env bash
# The visual batch in WebAssembly (Node) against the same C++ built natively: photons per
# second of each at 10 MV in a 10 x 10 field without drawing, and their ratio. The native
# side is the probe the web tests compare with (tracks collected, depth dose scored, as the
# browser's worker does).
#   bench/visual_batch_wasm_bench.sh [photons]     (after tools/test.sh or tools/build-web.sh)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
photons="${1:-100000}"
probe="$root/build/tests/models/visual_batch_probe"
core="$root/build/web/dosavia_core.js"
[ -x "$probe" ] || { echo "native probe not found at $probe (bash tools/build.sh)"; exit 1; }
[ -f "$core" ] || { echo "WebAssembly core not found at $core (bash tools/build-web.sh)"; exit 1; }

start=$(date +%s.%N)
"$probe" "$root/data" 10MV.csv 10 "$photons" > /dev/null
native=$(echo "$(date +%s.%N) - $start" | bc -l)
wasm=$(node "$root/bench/visual_batch_wasm.mjs" "$core" "$photons" | sed 's/.*"seconds":\([0-9.e+-]*\).*/\1/')
awk -v n="$photons" -v a="$native" -v b="$wasm" 'BEGIN {
  printf "native  %8.0f photons/s (%.2f s)\n", n / a, a
  printf "wasm    %8.0f photons/s (%.2f s)\n", n / b, b
  printf "ratio   %.2f of the native speed\n", a / b }'
