#!/usr/bin/env bash
# Renders the program's icon, packaging/icons/vastrel-digitizer.svg, into the
# PNG sizes a desktop's menu and task switcher ask for. Run it after editing
# the SVG and commit the PNGs with it; the install tree test compares them.
set -euo pipefail
icons="$(cd "$(dirname "$0")" && pwd)/icons"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing: apt-get install librsvg2-bin" >&2; exit 1; }
for size in 32 48 64 128 256; do
  mkdir -p "$icons/${size}x${size}"
  rsvg-convert --width "$size" --height "$size" --format png \
    --output "$icons/${size}x${size}/vastrel-digitizer.png" "$icons/vastrel-digitizer.svg"
done
