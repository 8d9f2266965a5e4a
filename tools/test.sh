#!/usr/bin/env bash
# Builds everything and runs every test (GUI tests on Qt's offscreen platform), the browser
# edition's included.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh "$@"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"

# The browser edition: its WebAssembly build, then its tests under Node (the core against
# the native build, the engine against native Kestrun, texts, deep links) and in headless
# Chromium and, for the main page, Firefox ESR (Debian's packages, driven by puppeteer-core
# from web/package-lock.json).
bash tools/build-web.sh
bash tools/install-deps.sh browser
(cd web && npm ci --no-audit --no-fund --loglevel=error)
node --test web/test/*.test.mjs
# The main page tests again in Firefox ESR (about 30 s more), so that neither engine breaks unseen.
DOSAVIA_BROWSER=firefox node --test web/test/browser.test.mjs
