#!/usr/bin/env bash
# Stages `cmake --install` and checks that a freedesktop desktop can list,
# show and start the program from it: a valid menu entry whose command and
# icon are both installed, icons of the size their folders claim rendered from
# the current SVG, the manual page, and nothing installed beyond that.
#   install_tree_test.sh BUILD_DIR
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$(( failures + 1 )); }

DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
usr="$work/stage/usr"
apps_dir="$usr/share/applications"
hicolor="$usr/share/icons/hicolor"
entry="$apps_dir/vastrel-digitizer.desktop"
[ -f "$entry" ] || { echo "FAIL: no menu entry in share/applications" >&2; exit 1; }

# --- the menu entry ---
complaints="$(desktop-file-validate "$entry" 2>&1 | grep -v ': hint: ' | sed "s|^$work/stage||" || true)"
[ -z "$complaints" ] || fail "desktop-file-validate: $complaints"
entry_key() { sed -n "s/^$1=//p" "$entry" | head -n1; }
for key in Name Comment 'Comment\[ja\]' Exec Icon Categories; do
  [ -n "$(entry_key "$key")" ] || fail "the menu entry has no ${key//\\/}"
done
[ "$(entry_key Terminal)" = false ] || fail "the menu entry would open a terminal"

# The menu starts the command through PATH, so it must be a bare name that the
# install put into bin/.
command_name="$(entry_key Exec | cut -d' ' -f1)"
case "$command_name" in
  */*) fail "Exec names a path ($command_name); the install prefix is not known in advance" ;;
  *) [ -x "$usr/bin/$command_name" ] || fail "Exec runs $command_name, which is not installed in bin/" ;;
esac

# Themes look the icon up by bare name in every size folder.
icon_name="$(entry_key Icon)"
case "$icon_name" in
  */* | *.png | *.svg) fail "Icon must be a theme name, not a file ($icon_name)" ;;
esac
[ -f "$hicolor/scalable/apps/$icon_name.svg" ] || fail "no scalable icon $icon_name.svg"
for size in 32 48 64 128 256; do
  [ -f "$hicolor/${size}x${size}/apps/$icon_name.png" ] || fail "no ${size}x${size} icon $icon_name.png"
done

# --- the icons ---
while IFS= read -r png; do
  shown_path="${png#"$work/stage"}"
  folder_size="$(basename "$(dirname "$(dirname "$png")")")"
  real_size="$(identify -format '%wx%h' "$png")"
  [ "$real_size" = "$folder_size" ] || fail "$shown_path is $real_size, but lies in the $folder_size folder"
  render="$work/render-$folder_size.png"
  rsvg-convert --width "${folder_size%x*}" --height "${folder_size#*x}" --format png \
    --output "$render" "$hicolor/scalable/apps/$icon_name.svg"
  differing="$(compare -metric AE -fuzz 2% "$png" "$render" null: 2>&1 || true)"
  [ "$differing" = 0 ] || fail "$shown_path is not a render of the SVG ($differing pixels differ); run packaging/make-icons.sh"
done < <(find "$hicolor" -name '*.png')

# --- the binary ---
file -b "$usr/bin/vastrel-digitizer" | grep -q '^ELF .* executable' || fail "bin/vastrel-digitizer is no ELF program"
if readelf -d "$usr/bin/vastrel-digitizer" | grep -E 'R(UN)?PATH' | grep -q -F "$build"; then
  fail "the installed program still looks for libraries in the build tree"
fi

# --- the manual page, where man looks for it, compressed as Debian's are ---
file -b "$usr/share/man/man1/vastrel-digitizer.1.gz" 2>/dev/null | grep -q '^gzip compressed data, max compression' \
  || fail "share/man/man1/vastrel-digitizer.1.gz is not installed, or not compressed to the utmost"

# --- nothing else ---
strays="$(cd "$work/stage" && find . -type f | grep -v -x -E \
  '\./usr/bin/vastrel-digitizer|\./usr/share/applications/vastrel-digitizer\.desktop|\./usr/share/icons/hicolor/[^/]+/apps/vastrel-digitizer\.(png|svg)|\./usr/share/man/man1/vastrel-digitizer\.1\.gz' || true)"
[ -z "$strays" ] || fail "the install puts files the program does not need: $strays"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) of the install tree failed" >&2
  exit 1
fi
echo "install tree: menu entry, command, $(find "$hicolor" -type f | wc -l) icons, manual page and nothing else"
