#!/usr/bin/env bash
# Configures and builds everything into build/; build/workdir is the ready working
# directory with Kestrun, Dosavia and the data files side by side. CMAKE_BUILD_PARALLEL_LEVEL
# caps the build's jobs (else one a core).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
mkdir -p build
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "$@" > build/configure.log 2>&1 || { cat build/configure.log; exit 1; }
cmake --build build -j"${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
