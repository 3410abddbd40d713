#!/usr/bin/env bash
# How the digitize command does on a batch, as ratios measured in one run on
# 200 generated 1000 x 800 PNG graphs:
#
#   jobs1/decode    the command with --jobs 1, over the time it takes only to
#                   decode the same files with the engine's decoding (the floor
#                   of this work); target at most 1.25
#   jobs2-speedup   --jobs 1 time over --jobs 2 time; target at least 1.7 on a
#                   machine with two processors
#   rss-growth-MB   peak memory of the command on 200 images minus that on 20
#                   images (both with one job per processor); target under 10
#
# A line before the last gives the machine's own ceiling for two at a time:
# the decoding alone split over two processes that share nothing but the
# hardware. On a virtual machine whose two processors share a core, it (and
# the speed-up with it) falls below 2 however little the program shares.
#
# Every time is the best of --rounds runs (default 5), taken in turns, so that
# a burst of load elsewhere on the machine does not count against one of them.
# The CSV files go to a folder on disk, written the way they always are.
# Builds what it needs in build/ (or $BUILD_DIR) first.
#
#   bench/batch.sh [--rounds N] [--images N]
set -euo pipefail
export LC_ALL=C
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
rounds=5
count=200
small=20
while [ $# -gt 0 ]; do
  case "$1" in
    --rounds) rounds="$2"; shift 2 ;;
    --images) count="$2"; shift 2 ;;
    *) echo "unknown argument: $1" >&2; exit 64 ;;
  esac
done

[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target vastrel-digitizer batch_images >/dev/null
program="$build/src/vastrel-digitizer"
helper="$build/bench/batch_images"

work="$(mktemp -d "${TMPDIR:-/tmp}/vastrel-batch-XXXXXX")"
trap 'rm -rf "$work"' EXIT
"$helper" generate "$work/images" "$count"
images=("$work"/images/*.png)
calibration=(--start 80,720 --end 940,40 --x1 0 --y1 0 --x2 100 --y2 1)

# Runs a command and prints its wall time in seconds and its peak memory in kB.
measure() {
  local started ended
  started="$(date +%s%N)"
  /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null
  ended="$(date +%s%N)"
  echo "$(( (ended - started) / 1000 ))" "$(cat "$work/rss")"
}

best() {  # the smaller of two microsecond counts, the first one being "" at the start
  if [ -z "$1" ] || [ "$2" -lt "$1" ]; then echo "$2"; else echo "$1"; fi
}

# The machine's own ceiling for two at a time: the same decoding split over
# two processes, which share nothing but the hardware.
decode_halves() {
  local half=$(( count / 2 ))
  "$helper" decode "${images[@]:0:$half}" &
  "$helper" decode "${images[@]:$half}"
  wait
}

decode="" decode2="" jobs1="" jobs2="" rss_small="" rss_large=""
for ((round = 1; round <= rounds; round++)); do
  read -r t _ < <(measure "$helper" decode "${images[@]}")
  decode="$(best "$decode" "$t")"
  started="$(date +%s%N)"
  decode_halves >/dev/null
  decode2="$(best "$decode2" "$(( ($(date +%s%N) - started) / 1000 ))")"
  read -r t _ < <(measure "$program" digitize "${images[@]}" "${calibration[@]}" -o "$work/out" --jobs 1)
  jobs1="$(best "$jobs1" "$t")"
  read -r t _ < <(measure "$program" digitize "${images[@]}" "${calibration[@]}" -o "$work/out" --jobs 2)
  jobs2="$(best "$jobs2" "$t")"
  read -r _ kb < <(measure "$program" digitize "${images[@]:0:$small}" "${calibration[@]}" -o "$work/out-small")
  rss_small="$(best "$rss_small" "$kb")"
  read -r _ kb < <(measure "$program" digitize "${images[@]}" "${calibration[@]}" -o "$work/out")
  rss_large="$(best "$rss_large" "$kb")"
done
[ "$(ls "$work/out" | wc -l)" -eq "$count" ] || { echo "the command did not write $count files" >&2; exit 1; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo "machine: $(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "decode only, one thread:   $(ratio "$decode" 1000) ms for $count images"
echo "digitize --jobs 1:         $(ratio "$jobs1" 1000) ms"
echo "digitize --jobs 2:         $(ratio "$jobs2" 1000) ms"
echo "decode only, two processes: $(ratio "$decode2" 1000) ms: the machine gives $(ratio "$decode" "$decode2") x for two at a time"
echo "peak memory, $small images:   $(ratio "$rss_small" 1024) MB"
echo "peak memory, $count images:  $(ratio "$rss_large" 1024) MB"
echo "jobs1/decode=$(ratio "$jobs1" "$decode") jobs2-speedup=$(ratio "$jobs1" "$jobs2")" \
     "rss-growth-MB=$(ratio "$((rss_large - rss_small))" 1024)"
