#!/usr/bin/env bash
# Builds the Debian package build/dosavia_<version>_<arch>.deb: configures build/ for the
# prefix /usr, builds, and runs cpack (dpkg-shlibdeps, from dpkg-dev, finds the libraries).
# A build/ already configured for /usr (the CI's first stage is) is not configured again:
# only what changed is built before cpack. CMake options given are passed to the configure,
# which then always runs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh package
if (($# == 0)) && [ -f build/CMakeCache.txt ] &&
   grep -qx 'CMAKE_INSTALL_PREFIX:PATH=/usr' build/CMakeCache.txt; then
  cmake --build build -j"${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
else
  bash tools/build.sh -DCMAKE_INSTALL_PREFIX=/usr "$@"
fi
rm -f build/dosavia_*.deb
(cd build && cpack -G DEB > cpack.log 2>&1) || { cat build/cpack.log; exit 1; }
ls build/dosavia_*.deb
