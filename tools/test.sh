#!/usr/bin/env bash
# Builds everything and runs every test (GUI tests on Qt's offscreen platform), the browser
# edition's included.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh "$@"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"

# The browser edition: its WebAssembly build, then its tests under Node (the core against
# the native build, the engine against native Kestrun, texts, deep links) and in headless
# Chromium (Debian's package, driven by puppeteer-core from web/package-lock.json).
bash tools/build-web.sh
if ! dpkg-query -W -f='${Status}' chromium 2>/dev/null | grep -q "install ok installed"; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends chromium
fi
(cd web && npm ci --no-audit --no-fund --loglevel=error)
node --test web/test/*.test.mjs
