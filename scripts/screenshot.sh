#!/usr/bin/env bash
# Starts the program on a private virtual display in the samples folder and
# saves a screenshot of the whole screen: scripts/screenshot.sh OUT.png [xdotool steps...]
# Each further argument is an xdotool command line run before the shot, e.g.
#   "search --sync --name 'Vastrel Digitizer' windowactivate --sync"
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "$1")"; shift
display=":$(( 90 + RANDOM % 100 ))"
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null || true' EXIT
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
(cd "$root/samples" && exec "$root/build/src/vastrel-digitizer") >/dev/null 2>&1 &
app=$!
xdotool search --sync --name "Vastrel Digitizer" >/dev/null
for step in "$@"; do eval "xdotool $step"; done
sleep 0.5
import -window root "$out"
