#!/usr/bin/env bash
# Builds the browser edition with Debian's Emscripten into build/wasm and lays out the static
# site in build/web/: index.html and its modules, the C++ core as one WebAssembly file with
# the data embedded, and the texts from Dosavia's translation file. Beside them kestrun.js,
# the engine as a Node program that works in the current directory as the native Kestrun
# does (node build/web/kestrun.js in a folder with Joken.dat, the spectrum and the physics
# tables). Beside index.html, dosavia_folder.js: the same site as one classic script, for the
# page opened from the folder by double-click (file://). Installs emscripten, node-acorn,
# Node.js and the lock file's npm packages (esbuild) when missing; a second run only rebuilds
# what changed. Further arguments go to the configure step; CMAKE_BUILD_PARALLEL_LEVEL caps
# the build's jobs (else one a core).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh web

# Emscripten's JavaScript optimiser requires acorn, which Debian keeps in its shared
# node-module folder rather than where Node looks by default.
acorn="$(dpkg -L node-acorn | grep '/acorn/package.json$')"
acorn="${acorn%%$'\n'*}"
[ -n "$acorn" ] || { echo "node-acorn holds no acorn/package.json"; exit 1; }
export NODE_PATH="$(dirname "$(dirname "$acorn")")${NODE_PATH:+:$NODE_PATH}"

mkdir -p build/wasm build/web
# Configured every time (a few seconds once cached), so that targets added since the last
# build are known to the build tool.
emcmake cmake -S . -B build/wasm -DCMAKE_BUILD_TYPE=Release -DDOSAVIA_BUILD_GUI=OFF \
  -DDOSAVIA_BUILD_TESTS=OFF -DDOSAVIA_BUILD_BENCH=OFF "$@" > build/wasm/configure.log 2>&1 \
  || { cat build/wasm/configure.log; exit 1; }
cmake --build build/wasm -j"${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" --target Kestrun dosavia_core kestrun_core
# The engine and, beside it as beside the native one, the shipped data files that
# "kestrun.js --init" lays into a working folder. Each is replaced only when it changed.
copy_if_changed() {
  if ! cmp -s "$1" "$2"; then
    cp "$1" "$2.tmp"
    mv "$2.tmp" "$2"
  fi
}
copy_if_changed build/wasm/workdir/Kestrun.js build/web/kestrun.js
for f in data/*.dat data/*.csv; do
  copy_if_changed "$f" "build/web/$(basename "$f")"
done
# The site: the page's modules and styles as written, the C++ core (one file, the data
# embedded), and the texts made from Dosavia's translation file.
copy_if_changed build/wasm/web/dosavia_core.js build/web/dosavia_core.js
copy_if_changed build/wasm/web/kestrun_core.js build/web/kestrun_core.js
for f in web/src/*; do
  copy_if_changed "$f" "build/web/$(basename "$f")"
done
# Fig.2 of the explanation pages is the picture Dosavia shows.
copy_if_changed gui/resources/fig2_electron_absorption.png build/web/fig2_electron_absorption.png
# The icons of the installed site (the desktop program's).
copy_if_changed packaging/icons/dosavia-256.png build/web/icon-256.png
node web/tools/make_texts.mjs gui/translations/dosavia_en.ts web/texts/web_texts.json build/web/texts.js.new
copy_if_changed build/web/texts.js.new build/web/texts.js
rm -f build/web/texts.js.new
# The lesson screen's texts from the lesson sheets, so that site and sheets say the same.
node web/tools/make_lesson.mjs build/web/lesson_sheets.js.new \
  buildup docs/lesson_buildup_ja.md docs/lesson_buildup_en.md \
  interfaces docs/lesson_interfaces_ja.md docs/lesson_interfaces_en.md
copy_if_changed build/web/lesson_sheets.js.new build/web/lesson_sheets.js
rm -f build/web/lesson_sheets.js.new
node web/tools/make_field_sizes.mjs engine/beam_geometry.h models/typed_text.cpp models/clinical_geometry.h \
  build/web/field_sizes.js.new
copy_if_changed build/web/field_sizes.js.new build/web/field_sizes.js
rm -f build/web/field_sizes.js.new
# The page opened from a folder: its modules bundled by esbuild (pinned by web's lock file)
# with the core and the workers' texts.
[ -x web/node_modules/.bin/esbuild ] || (cd web && npm ci --no-audit --no-fund --loglevel=error)
node web/tools/make_folder_bundle.mjs build/web
# The service worker's list of the site's files, made last: it versions them all.
node web/tools/make_precache.mjs build/web
echo "build/web/: the browser edition (index.html; serve it with 'bash tools/run.sh web', or open it from the folder)"
echo "build/web/kestrun.js: run it as 'node <path>/kestrun.js' in a working folder"
