#!/usr/bin/env bash
# Builds everything and runs every test. `scripts/test.sh asan` does the same
# in a separate AddressSanitizer + UndefinedBehaviorSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

build=build
options=()
if [ "${1:-}" = "asan" ]; then
  build=build-asan
  options=(-DVASTREL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DVASTREL_BUILD_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

# Short fuzz runs over the committed fuzz inputs, in a clang build of their
# own that compiles only the code the fuzz targets exercise (already
# instrumented, so the sanitizer build skips them).
if [ "${1:-}" != "asan" ]; then
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVASTREL_FUZZ=ON >/dev/null
  cmake --build build-fuzz
  ctest --test-dir build-fuzz --output-on-failure -j2
fi

cmake -S . -B "$build" -G Ninja "${options[@]}" >/dev/null
cmake --build "$build"
# Widget tests run on Qt's offscreen platform; the ones that need a real X
# window get this virtual display. This summary of every test comes last.
xvfb-run -a -s "-screen 0 1600x1000x24" ctest --test-dir "$build" --output-on-failure -j2
