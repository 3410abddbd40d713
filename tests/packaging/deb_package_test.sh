#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it the way dpkg and apt will
# meet it: its control fields, its contents against the install tree, a
# stripped binary, Depends that name the package of every library the binary
# links and of every Qt plugin it loads, a Japanese font, and that the packaged
# program shows its main window.
#   deb_package_test.sh BUILD_DIR VERSION QTPATHS PLUGIN...
# where each PLUGIN is a file under Qt's plugin folder, e.g. platforms/libqxcb.so.
set -euo pipefail
build="$1"
version="$2"
plugin_dir="$("$3" -query QT_INSTALL_PLUGINS)"
shift 3
plugins=("$@")
work="$(mktemp -d)"
app=""
xvfb=""
cleanup() {
  if [ -n "$app" ]; then kill "$app" 2>/dev/null || true; fi
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$(( failures + 1 )); }

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
debs=("$work"/package/*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: cpack made ${#debs[@]} packages" >&2; exit 1; }
deb="${debs[0]}"
field() { dpkg-deb --field "$deb" "$1"; }

# --- control fields ---
[ "$(field Package)" = vastrel-digitizer ] || fail "package name is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "package version $(field Version) is not the project's $version"
[ "$(field Section)" = graphics ] || fail "section is $(field Section)"
field Maintainer | grep -q -E '^[^<>]+ <[^<>@ ]+@[^<>@ ]+>$' || fail "maintainer '$(field Maintainer)' is not 'Name <address>'"
[ "$(field Description | wc -l)" -gt 2 ] || fail "the description has no long text"
[ "$(basename "$deb")" = "vastrel-digitizer_${version}_$(dpkg --print-architecture).deb" ] \
  || fail "file name $(basename "$deb") is not the Debian name_version_arch.deb"

# --- contents ---
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
(cd "$work/stage" && find . -type f | sort) >"$work/installed"
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort >"$work/packaged"
cmp -s "$work/installed" "$work/packaged" \
  || fail "the package holds other files than the install: $(diff "$work/installed" "$work/packaged" | grep '^[<>]' | tr '\n' ' ')"
dpkg-deb --extract "$deb" "$work/root"
binary="$work/root/usr/bin/vastrel-digitizer"
if readelf -S "$binary" | grep -q -E '\.debug_|\.symtab'; then fail "the packaged program is not stripped"; fi

# --- dependencies ---
# Alternatives stay together: "a | b" is one group, any member of it counts.
mapfile -t depends_groups < <(field Depends | tr ',' '\n' | sed -E 's/\([^)]*\)//g; s/[[:space:]]+/ /g; s/^ //; s/ $//')
declared() { local name; for group in "${depends_groups[@]}"; do
  for name in ${group//|/ }; do [ "$name" = "$1" ] && return 0; done; done; return 1; }
# dpkg knows a file by the path its package ships, /lib or /usr/lib.
owner_of() {
  local path="$1"
  for candidate in "$path" "${path#/usr}" "/usr$path"; do
    dpkg-query --search "$candidate" 2>/dev/null | head -n1 | cut -d: -f1 && return 0
  done
  return 1
}

while read -r soname; do
  path="$(ldd "$binary" | awk -v lib="$soname" '$1 == lib { print $3 }')"
  [ -n "$path" ] && [ "$path" != "not" ] || { fail "$soname is not found on this machine"; continue; }
  package="$(owner_of "$(realpath -s "$path")")" || { fail "no package ships $path"; continue; }
  declared "$package" || fail "the program links $soname from $package, which Depends does not name"
done < <(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')

for plugin in "${plugins[@]}"; do
  [ -f "$plugin_dir/$plugin" ] || { fail "the Qt plugin $plugin is not on this machine"; continue; }
  package="$(owner_of "$plugin_dir/$plugin")" || { fail "no package ships the plugin $plugin"; continue; }
  declared "$package" || fail "the plugin $plugin comes from $package, which Depends does not name"
done

# Some alternative of Depends must be a package that really holds a font with
# Japanese glyphs; on this machine at least one of them is installed.
japanese_font_packages="$(fc-list :lang=ja file | sed 's/: *$//' | while read -r font; do owner_of "$font" || true; done | sort -u)"
[ -n "$japanese_font_packages" ] || fail "this machine has no Japanese font to check Depends against"
font_declared=false
for package in $japanese_font_packages; do declared "$package" && font_declared=true; done
$font_declared || fail "Depends names no package with a Japanese font (they come from: $japanese_font_packages)"

serif_package="$(owner_of "$(fc-match -f '%{file}' 'Times New Roman')")" || serif_package=""
[ -n "$serif_package" ] && { declared "$serif_package" || field Recommends | grep -q -w -F "$serif_package"; } \
  || fail "the stand-in for \"Times New Roman\" ($serif_package) is neither a dependency nor recommended"

# --- the packaged program starts and shows its main window ---
# A free display of its own; no reset while xdotool's connections come and go.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start" >&2; exit 1; }
display=":$(head -n1 "$work/display")"
mkdir -m 700 "$work/runtime"
mkdir "$work/start-folder"
(cd "$work/start-folder" && DISPLAY="$display" XDG_RUNTIME_DIR="$work/runtime" \
  QT_QPA_PLATFORM=xcb exec "$binary") >"$work/app.log" 2>&1 &
app=$!
window=""
for _ in $(seq 200); do
  window="$(DISPLAY="$display" xdotool search --onlyvisible --name '^  Vastrel Digitizer$' 2>/dev/null | head -n1 || true)"
  [ -z "$window" ] && kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$window" ]; then
  fail "the packaged program showed no main window within 20 s: $(cat "$work/app.log")"
else
  # Task bars tie the window to its menu entry through this class.
  wm_class="$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/vastrel-digitizer.desktop \
    | sed -n 's/^StartupWMClass=//p')"
  DISPLAY="$display" xprop -id "$window" WM_CLASS | grep -q -F "\"$wm_class\"" \
    || fail "the window's class ($(DISPLAY="$display" xprop -id "$window" WM_CLASS)) is not StartupWMClass '$wm_class'"
fi
kill -0 "$app" 2>/dev/null || fail "the packaged program ended by itself"
[ ! -s "$work/app.log" ] || fail "the packaged program complained: $(cat "$work/app.log")"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) of the package failed" >&2
  exit 1
fi
echo "package $(basename "$deb"): control fields, contents, stripped binary, Depends: $(field Depends)"
