#!/usr/bin/env bash
# Proves that the .deb installs and runs on a clean Debian 12 with nothing but
# the dependencies it declares:
#
#   sudo scripts/check-deb.sh [--build-dir DIR] [--deb FILE] [--keep]
#
# builds the package (in DIR, default build-deb/, or takes FILE), checks that
# lintian finds nothing to say of its manual page, unpacks a minimal bookworm
# root made by debootstrap, installs the package there with
# apt-get --no-install-recommends, checks that the binary and the Qt plugins it
# loads find all their libraries and that a Japanese font is there, then
# starts the program on Qt's offscreen platform and, after adding Xvfb and
# xdotool, on a real X display, and watches it run for a few seconds.
# The debootstrapped root is kept as a tarball under
# ${XDG_CACHE_HOME:-~/.cache}/vastrel-deb-check, so later runs skip the
# download. Needs root (chroot, mounts) and Debian's package archive.
set -euo pipefail
export LC_ALL=C
root="$(cd "$(dirname "$0")/.." && pwd)"

arguments=("$@")
build_dir="$root/build-deb"
deb=""
keep=false
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build_dir="$(realpath -m "$2")"; shift 2 ;;
    --deb) deb="$(realpath "$2")"; shift 2 ;;
    --keep) keep=true; shift ;;
    *) echo "unknown argument: $1" >&2; exit 64 ;;
  esac
done

if [ "$(id -u)" -ne 0 ]; then
  exec sudo "$0" "${arguments[@]}"
fi

mirror="${VASTREL_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
security_mirror="${VASTREL_DEBIAN_SECURITY_MIRROR:-http://deb.debian.org/debian-security}"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/vastrel-deb-check"
base_tarball="$cache/bookworm-minbase.tar"
run_seconds=5
window_title='^  Vastrel Digitizer$'

step() { echo "==> $*"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

if ! command -v debootstrap >/dev/null; then
  step "Installing debootstrap"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
fi

if [ -z "$deb" ]; then
  step "Building the package in $build_dir"
  "$root/scripts/install-deps.sh"
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    # The project's default build type; the package strips the binary anyway.
    cmake -S "$root" -B "$build_dir" -G Ninja \
      -DVASTREL_BUILD_TESTS=OFF -DVASTREL_BUILD_BENCH=OFF >/dev/null
  fi
  cmake --build "$build_dir" --target vastrel-digitizer
  rm -rf "$build_dir/package"
  cpack --config "$build_dir/CPackConfig.cmake" -B "$build_dir/package" >/dev/null
  deb="$(ls "$build_dir"/package/vastrel-digitizer_*.deb)"
fi
[ -f "$deb" ] || fail "no package at $deb"
step "Package: $deb"
dpkg-deb --field "$deb" Depends Recommends | sed 's/^/    /'

step "Checking what lintian says of the manual page"
if ! command -v lintian >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lintian >/dev/null
fi
manual_findings="$(lintian --pedantic -I "$deb" 2>&1 | grep -E 'manpage|man-page|groff' || true)"
[ -z "$manual_findings" ] || fail "lintian on the manual page:"$'\n'"$manual_findings"
echo "    nothing"

mkdir -p "$cache"
if [ ! -f "$base_tarball" ]; then
  step "Creating a minimal bookworm root with debootstrap (once; cached in $cache)"
  fresh="$(mktemp -d "$cache/debootstrap.XXXXXX")"
  debootstrap --variant=minbase bookworm "$fresh" "$mirror" >"$cache/debootstrap.log" 2>&1 \
    || { tail -n 20 "$cache/debootstrap.log" >&2; rm -rf --one-file-system "$fresh"; fail "debootstrap"; }
  tar --numeric-owner -C "$fresh" -cf "$base_tarball.partial" .
  mv "$base_tarball.partial" "$base_tarball"
  rm -rf --one-file-system "$fresh"
fi

chroot_dir="$(mktemp -d /var/tmp/vastrel-deb-check.XXXXXX)"
mounts=()
cleanup() {
  local status=$?
  # Stop whatever still runs inside the root before its mounts go away.
  for pid_file in "$chroot_dir"/run/vastrel-*.pid; do
    if [ -f "$pid_file" ]; then kill "$(cat "$pid_file")" 2>/dev/null || true; fi
  done
  local i
  for (( i=${#mounts[@]}-1; i>=0; i-- )); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" || true
  done
  if grep -q " $chroot_dir/" /proc/mounts; then
    echo "mounts under $chroot_dir are still there; not removing it" >&2
  elif $keep; then
    echo "kept the root in $chroot_dir"
  else
    rm -rf --one-file-system "$chroot_dir"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

step "Unpacking a clean root in $chroot_dir"
tar --numeric-owner -C "$chroot_dir" -xf "$base_tarball"
# mktemp made it private; as / of the root it must be open to apt's own user.
chmod 755 "$chroot_dir"
mount_into() {
  mount "$@"
  mounts+=("${!#}")
}
mount_into -t proc proc "$chroot_dir/proc"
mount_into --bind /dev "$chroot_dir/dev"
mount_into --bind /dev/pts "$chroot_dir/dev/pts"
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
cat >"$chroot_dir/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb $security_mirror bookworm-security main
EOF
cp "$deb" "$chroot_dir/tmp/"
mkdir -p "$chroot_dir/tmp/samples"
cp "$root"/samples/* "$chroot_dir/tmp/samples/"

# A clean environment, but a proxy the host needs for the archive is kept.
in_root() { chroot "$chroot_dir" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
  LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive ${http_proxy:+http_proxy="$http_proxy"} "$@"; }

step "Installing the package with its declared dependencies only"
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")" >"$chroot_dir/tmp/apt.log" 2>&1 \
  || { tail -n 30 "$chroot_dir/tmp/apt.log" >&2; fail "apt-get install"; }
echo "    $(grep -c '^Setting up' "$chroot_dir/tmp/apt.log") packages set up"

step "Checking that the binary and its Qt plugins find every library"
plugins="$(in_root dpkg-query --listfiles libqt6gui6 | sed -n 's|/platforms/libqxcb\.so$||p')"
[ -n "$plugins" ] || fail "libqt6gui6 brings no xcb platform plugin"
for object in /usr/bin/vastrel-digitizer \
  "$plugins"/platforms/libqxcb.so "$plugins"/platforms/libqoffscreen.so \
  "$plugins"/imageformats/libqjpeg.so "$plugins"/imageformats/libqgif.so "$plugins"/imageformats/libqtiff.so; do
  [ -e "$chroot_dir$object" ] || fail "$object is not installed"
  missing="$(in_root ldd "$object" | grep 'not found' || true)"
  [ -z "$missing" ] || fail "$object lacks libraries:"$'\n'"$missing"
  echo "    $object: all libraries found"
done

step "Checking for a Japanese font"
japanese_fonts="$(in_root fc-list :lang=ja family | sort -u)"
[ -n "$japanese_fonts" ] || fail "no font with Japanese glyphs"
echo "$japanese_fonts" | sed 's/^/    /'

# The program runs in the root as an orphan; once stopped it may linger as a
# zombie until init reaps it, which counts as ended.
running() { local state; state="$(ps -o stat= -p "$1" 2>/dev/null)" && [ "${state#Z}" = "$state" ]; }

# Starts the program in the root with the given environment, waits for it to
# come up (READY_CHECK, run in the root, must succeed; its output is kept in
# /tmp/NAME.ready), lets it run for a few seconds and stops it. Output of the
# program other than the line ALLOWED fails the check.
run_program() {
  local name="$1" ready_check="$2" allowed="$3"; shift 3
  local log="$chroot_dir/tmp/$name.log"
  in_root /bin/sh -c 'mkdir -p -m 700 /tmp/runtime && cd /tmp/samples &&
    XDG_RUNTIME_DIR=/tmp/runtime "$@" /usr/bin/vastrel-digitizer >/tmp/'"$name"'.log 2>&1 &
    echo $! >/run/vastrel-'"$name"'.pid' sh "$@"
  local pid
  pid="$(cat "$chroot_dir/run/vastrel-$name.pid")"
  local waited=0
  until in_root /bin/sh -c "$ready_check" >"$chroot_dir/tmp/$name.ready" 2>/dev/null; do
    running "$pid" || { cat "$log" >&2; fail "the program ended at start-up ($name)"; }
    [ "$waited" -lt 200 ] || { cat "$log" >&2; fail "the program did not come up within 20 s ($name)"; }
    sleep 0.1
    waited=$(( waited + 1 ))
  done
  sleep "$run_seconds"
  running "$pid" || { cat "$log" >&2; fail "the program ended by itself ($name)"; }
  kill "$pid"
  for _ in $(seq 50); do running "$pid" || break; sleep 0.1; done
  ! running "$pid" || fail "the program did not stop ($name)"
  rm -f "$chroot_dir/run/vastrel-$name.pid"
  local unexpected
  unexpected="$(grep -v -x -F -e "$allowed" "$log" || true)"
  [ -z "$unexpected" ] || fail "the program complained ($name):"$'\n'"$unexpected"
  echo "    came up, ran for $run_seconds s, stopped; it wrote $(wc -l <"$log") line(s), none unexpected"
}

step "Starting the program on the offscreen platform"
# The offscreen platform cannot raise windows and says so; nothing else may appear.
# It shows no window to wait for, so only running on counts.
run_program offscreen true \
  "This plugin does not support raise()" env QT_QPA_PLATFORM=offscreen

step "Adding Xvfb and xdotool to start it on a real X display"
in_root apt-get install -y -qq --no-install-recommends xvfb xauth xdotool >"$chroot_dir/tmp/apt-x.log" 2>&1 \
  || { tail -n 30 "$chroot_dir/tmp/apt-x.log" >&2; fail "apt-get install xvfb xdotool"; }
# The root shares the host's abstract X sockets, so the server picks a free display.
in_root /bin/sh -c 'Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp -noreset 3>/tmp/xvfb.display \
  >/tmp/xvfb.log 2>&1 & echo $! >/run/vastrel-xvfb.pid'
for _ in $(seq 100); do [ -s "$chroot_dir/tmp/xvfb.display" ] && break; sleep 0.1; done
[ -s "$chroot_dir/tmp/xvfb.display" ] || fail "Xvfb did not start in the root"
display=":$(head -n1 "$chroot_dir/tmp/xvfb.display")"
run_program xcb "DISPLAY=$display xdotool search --onlyvisible --name '$window_title' getwindowgeometry" "" \
  env DISPLAY="$display"
geometry="$(grep -o '[0-9]*x[0-9]*' "$chroot_dir/tmp/xcb.ready" | head -n1 || true)"
echo "    the window \"  Vastrel Digitizer\" was shown: $geometry"

step "The package installs and runs on a clean Debian 12"
