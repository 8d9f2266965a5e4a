#!/usr/bin/env bash
# Fuzzes the file readers with libFuzzer.
#
# Builds every fuzz target of tests/fuzz with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/, replays each committed corpus
# (tests/fuzz/corpus/<target>/) and then fuzzes each target, one after the other, on one
# core. A crash, a broken invariant, a sanitizer report, a hang or a leak stops the script
# with a failure; the input that caused it is left in build-fuzz/artifacts/<target>/.
#
# Usage: bash tools/fuzz.sh [options] [target...]
#   target             fuzz_fixed_format, fuzz_physics_loader, ... (default: all of them)
#   -t, --time SECONDS fuzzing time per target (default 60; 0 only replays the corpora)
#   --merge            afterwards minimise what the run found together with the committed
#                      corpus back into tests/fuzz/corpus/<target>/ (to commit)
#   --build-dir DIR    build in DIR instead of build-fuzz/; a DIR already configured with
#                      -DDOSAVIA_FUZZ=ON -DDOSAVIA_SANITIZE=ON (the CI's build-asan/, which
#                      also runs the test suite) is used as it is, never configured again
#   --no-build         use the targets already built in the build folder
# Environment: FUZZ_BUILD_DIR (the default of --build-dir), FUZZ_BUILD_JOBS (default 2),
# CC/CXX (default clang/clang++, installed by tools/install-deps.sh fuzz when CXX is not set).
#
# New inputs that a run finds go to <build folder>/found/<target>/, never straight into the
# committed corpus, so a CI run leaves the working tree as it was. Each committed corpus is
# kept under a cap (FUZZ_CORPUS_MAX_FILES inputs, default 100, and FUZZ_CORPUS_MAX_KB,
# default 512): the replay fails on a corpus above it, and --merge keeps, of the minimised
# inputs, the smallest that fit, the named seeds and regression inputs always.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
merge=0
build=1
dir=${FUZZ_BUILD_DIR:-build-fuzz}
targets=()
while (($#)); do
  case "$1" in
    -t|--time) seconds="$2"; shift 2 ;;
    --merge) merge=1; shift ;;
    --build-dir) dir="$2"; shift 2 ;;
    --no-build) build=0; shift ;;
    -h|--help) sed -n '2,26p' "$0"; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
if ((${#targets[@]} == 0)); then
  for f in tests/fuzz/fuzz_*.cpp; do
    name=$(basename "$f" .cpp)
    [ "$name" = fuzz_replay_main ] || targets+=("$name")
  done
fi

max_files=${FUZZ_CORPUS_MAX_FILES:-100}
max_bytes=$(( ${FUZZ_CORPUS_MAX_KB:-512} * 1024 ))

# Inputs and bytes of a corpus folder.
corpus_size() { echo "$(find "$1" -type f | wc -l) $(find "$1" -type f -printf '%s\n' | awk '{s += $1} END {print s + 0}')"; }

# A folder's configuration, ON or OFF, from its CMake cache.
cache_option() { sed -n "s/^$2:BOOL=//p" "$1/CMakeCache.txt"; }

if ((build)); then
  if [ -f "$dir/CMakeCache.txt" ]; then
    # Configured before (by this script or by the CI's sanitizer stage): reused as it is, so
    # the fuzz targets share that build's objects instead of compiling everything again.
    if [ "$(cache_option "$dir" DOSAVIA_FUZZ)" != ON ] || [ "$(cache_option "$dir" DOSAVIA_SANITIZE)" != ON ]; then
      echo "$dir is not configured with -DDOSAVIA_FUZZ=ON -DDOSAVIA_SANITIZE=ON (and clang):" \
           "name another folder with --build-dir" >&2
      exit 1
    fi
  else
    [ -n "${CXX:-}" ] || bash tools/install-deps.sh fuzz
    mkdir -p "$dir"
    CC=${CC:-clang} CXX=${CXX:-clang++} cmake -S . -B "$dir" -DDOSAVIA_FUZZ=ON -DDOSAVIA_SANITIZE=ON \
      -DDOSAVIA_BUILD_GUI=OFF -DDOSAVIA_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      > "$dir/configure.log" 2>&1 || { cat "$dir/configure.log"; exit 1; }
  fi
  cmake --build "$dir" -j"${FUZZ_BUILD_JOBS:-2}" --target "${targets[@]}"
fi

# Every sanitizer report is fatal, so libFuzzer stops on it and keeps the input.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:abort_on_error=1:print_stacktrace=1}

for t in "${targets[@]}"; do
  bin="$dir/tests/fuzz/$t"
  corpus="tests/fuzz/corpus/$t"
  found="$dir/found/$t"
  artifacts="$dir/artifacts/$t"
  mkdir -p "$corpus" "$found" "$artifacts"
  common=(-rss_limit_mb=2048 -timeout=10 -artifact_prefix="$artifacts/")
  [ -f tests/fuzz/fuzz.dict ] && common+=(-dict=tests/fuzz/fuzz.dict)
  read -r files bytes <<< "$(corpus_size "$corpus")"
  echo "== $t: replaying $files committed inputs ($bytes bytes)"
  if ((!merge && (files > max_files || bytes > max_bytes))); then
    echo "$corpus holds more than $max_files inputs or $max_bytes bytes: minimise it" \
         "(bash tools/fuzz.sh --time 0 --merge $t)" >&2
    exit 1
  fi
  "$bin" "${common[@]}" -runs=0 "$corpus"
  if ((seconds > 0)); then
    echo "== $t: fuzzing for $seconds s"
    "$bin" "${common[@]}" -max_total_time="$seconds" -print_final_stats=1 "$found" "$corpus"
  fi
  if ((merge)); then
    # Inputs with a name of their own (seeds from the shipped files, regression inputs of
    # fixed findings) stay; of the ones libFuzzer named by their SHA-1, the fewest that reach
    # every edge the named ones do not are kept (a greedy set cover over edge coverage; hit
    # counts left out, which would keep hundreds of near-copies).
    minimal="$dir/minimal/$t"
    rm -rf "$minimal"
    mkdir -p "$minimal"
    find "$corpus" -maxdepth 1 -type f -regextype posix-extended ! -regex '.*/[0-9a-f]{40}' \
      -exec cp {} "$minimal"/ \;
    "$bin" "${common[@]}" -set_cover_merge=1 -use_counters=0 "$minimal" "$corpus" "$found"
    find "$corpus" -maxdepth 1 -type f -regextype posix-extended -regex '.*/[0-9a-f]{40}' -delete
    # Within the cap, the smallest inputs first: they reach the same code sooner.
    read -r files bytes <<< "$(corpus_size "$corpus")"
    left=0
    while read -r size f; do
      if ((files + 1 > max_files || bytes + size > max_bytes)); then
        left=$((left + 1))
        continue
      fi
      cp "$f" "$corpus"/
      files=$((files + 1))
      bytes=$((bytes + size))
    done < <(find "$minimal" -type f -regextype posix-extended -regex '.*/[0-9a-f]{40}' \
               -printf '%s %p\n' | sort -n)
    if ((left > 0)); then
      echo "== $t: $left minimised inputs left out to keep the corpus under the cap"
    fi
    read -r files bytes <<< "$(corpus_size "$corpus")"
    echo "== $t: corpus now $files inputs, $bytes bytes"
  fi
done
