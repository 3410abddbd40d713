#!/usr/bin/env bash
# Walks the road once per sample graph on a private virtual display and saves
# a picture of every window into docs/screenshots/:
#   scripts/screenshots.sh [BUILD_DIR]     (default: build)
# The samples are copied to a temporary folder first, so no CSV file is left
# in samples/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="$(realpath -m "${1:-build}")"
./scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target vastrel-digitizer
python3 -B tests/e2e/guide_screenshots.py "$build/src/vastrel-digitizer" samples docs/screenshots
