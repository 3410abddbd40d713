#!/usr/bin/env bash
# Builds the program and starts it in the samples folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target vastrel-digitizer
cd "$root/samples"
exec "$root/build/src/vastrel-digitizer" "$@"
