#!/usr/bin/env bash
# Measures how long the program takes from being started until its main window
# is shown, from outside the process, on a private virtual display.
#
#   scripts/measure-startup.sh [--runs N] [--binary PATH] [--folder DIR] [--target MS]
#
# Each run starts the program in DIR (default samples/, as scripts/run.sh does),
# polls for the visible window "  Vastrel Digitizer" and stops the program. The
# first run is reported apart as the cold one; the median is taken over the
# warm runs. Exit status 2 when that median is not under the target (500 ms).
# Without --binary the program is built in build/ first.
set -euo pipefail
export LC_ALL=C
root="$(cd "$(dirname "$0")/.." && pwd)"

runs=15
binary=""
folder="$root/samples"
target_ms=500
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --binary) binary="$(realpath "$2")"; shift 2 ;;
    --folder) folder="$(realpath "$2")"; shift 2 ;;
    --target) target_ms="$2"; shift 2 ;;
    *) echo "unknown argument: $1" >&2; exit 64 ;;
  esac
done
if ! [[ "$runs" =~ ^[0-9]+$ ]] || [ "$runs" -lt 2 ]; then
  echo "--runs needs a whole number of at least 2 (one cold run and one warm run)" >&2
  exit 64
fi

if [ -z "$binary" ]; then
  "$root/scripts/install-deps.sh"
  cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
  cmake --build "$root/build" --target vastrel-digitizer
  binary="$root/build/src/vastrel-digitizer"
fi
[ -x "$binary" ] || { echo "no program at $binary" >&2; exit 1; }

title='^  Vastrel Digitizer$'
poll_timeout_us=20000000
app=""
xvfb=""
workdir="$(mktemp -d)"
cleanup() {
  if [ -n "$app" ]; then kill "$app" 2>/dev/null || true; fi
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
  rm -rf "$workdir"
}
trap cleanup EXIT

# -displayfd lets the server pick a free display, so parallel runs never clash;
# -noreset keeps it from resetting whenever its last client leaves, which
# would refuse the next run's connection now and then.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp -noreset 3>"$workdir/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$workdir/display" ] && break; sleep 0.05; done
[ -s "$workdir/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(head -n1 "$workdir/display")"
export DISPLAY
unset QT_QPA_PLATFORM

now_us() { echo "${EPOCHREALTIME//[!0-9]/}"; }

window_shown() { xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; }

# A window left over from the previous run would be found at once.
wait_until_no_window() {
  local deadline=$(( $(now_us) + poll_timeout_us ))
  while window_shown; do
    [ "$(now_us)" -lt "$deadline" ] || { echo "the previous window did not go away" >&2; exit 1; }
  done
}

# xdotool's own --sync polls only every half second, far too coarse here; a
# search of our own costs a few tens of milliseconds, which bounds the error.
# Sets elapsed_ms.
measure_once() {
  wait_until_no_window
  local start
  start=$(now_us)
  (cd "$folder" && exec "$binary") >"$workdir/app.log" 2>&1 &
  app=$!
  until window_shown; do
    if ! kill -0 "$app" 2>/dev/null; then
      echo "the program ended before its window appeared; its output:" >&2
      cat "$workdir/app.log" >&2
      exit 1
    fi
    if [ $(( $(now_us) - start )) -gt "$poll_timeout_us" ]; then
      echo "no window titled \"  Vastrel Digitizer\" after $(( poll_timeout_us / 1000000 )) s" >&2
      exit 1
    fi
  done
  local elapsed_us=$(( $(now_us) - start ))
  kill "$app"
  wait "$app" 2>/dev/null || true
  app=""
  elapsed_ms=$(( (elapsed_us + 500) / 1000 ))
}

warm=()
for run in $(seq "$runs"); do
  measure_once
  if [ "$run" -eq 1 ]; then
    echo "run 1 (cold, not counted): $elapsed_ms ms"
  else
    echo "run $run: $elapsed_ms ms"
    warm+=("$elapsed_ms")
  fi
done

mapfile -t sorted < <(printf '%s\n' "${warm[@]}" | sort -n)
count=${#sorted[@]}
if [ $(( count % 2 )) -eq 1 ]; then
  median=${sorted[$(( count / 2 ))]}
else
  median=$(( (sorted[count / 2 - 1] + sorted[count / 2] + 1) / 2 ))
fi
echo "median of $count warm runs: $median ms (fastest ${sorted[0]} ms, slowest ${sorted[count - 1]} ms)"
if [ "$median" -lt "$target_ms" ]; then
  echo "under the target of $target_ms ms"
else
  echo "NOT under the target of $target_ms ms" >&2
  exit 2
fi
