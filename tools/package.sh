#!/usr/bin/env bash
# Builds the Debian package build/dosavia_<version>_<arch>.deb: configures build/ for the
# prefix /usr, builds, and runs cpack (dpkg-shlibdeps, from dpkg-dev, finds the libraries).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh package
bash tools/build.sh -DCMAKE_INSTALL_PREFIX=/usr "$@"
rm -f build/dosavia_*.deb
(cd build && cpack -G DEB > cpack.log 2>&1) || { cat build/cpack.log; exit 1; }
ls build/dosavia_*.deb
