#!/usr/bin/env bash
# The main job: builds, then starts Dosavia where a display exists; otherwise runs the
# default batch simulation (10 MV, 3.00E+07 photons) with Kestrun in build/workdir and
# draws its curves into a PNG beside the result file.
#   bash tools/run.sh web [PORT]   builds the browser edition and serves build/web on
#                                  http://127.0.0.1:PORT/ (default 8000) until Ctrl-C.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "web" ]; then
  port="${2:-8000}"
  bash tools/build-web.sh
  echo "Dosavia in the browser: http://127.0.0.1:${port}/ (Ctrl-C ends it)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web
fi
bash tools/build.sh
root=$PWD
cd build/workdir
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x ./Dosavia ]; then
  exec ./Dosavia
fi
if [ ! -x ./Kestrun ]; then
  echo "Kestrun is not built yet: nothing to run."
  exit 1
fi
[ -f Joken.dat ] || bash "$root/tools/write_joken.sh" 10MV.csv 10MV-30M.data 3.00E+07
./Kestrun < /dev/null
# A picture of the curves beside the result file, drawn without a display.
result=$(sed -n 2p Joken.dat | tr -d '\r' | cut -c1-20 | sed 's/ *$//')
if [ -x ./Dosavia ] && [ -f "$result" ]; then
  ./Dosavia --plot "$result" --out "${result%.data}.png" && echo "Curves drawn in build/workdir/${result%.data}.png"
fi
