#!/usr/bin/env bash
# The manual page the build makes from the help text, read the way man and
# lintian read it: no warning from man, a whatis entry from its NAME line,
# every option and heading of --help and its synopsis on the page, and
# nothing lintian says of manual pages in the package.
#   man_page_test.sh BUILD_DIR PROGRAM PAGE SUMMARY
set -euo pipefail
build="$1"
program="$2"
page="$3"
summary="$4"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$(( failures + 1 )); }

[ -f "$page" ] || { echo "FAIL: the build made no manual page at $page" >&2; exit 1; }
gzip -t "$page" || fail "$page is no gzip file"

# The check behind lintian's manpage-has-errors-from-man.
warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)"
[ -z "$warnings" ] || fail "man warns about the page: $warnings"
whatis="$(lexgrog "$page" || true)"
[ "$whatis" = "$page: \"vastrel-digitizer - $summary\"" ] \
  || fail "the whatis entry is not the program's name and summary: $whatis"

LC_ALL=C.UTF-8 MANWIDTH=200 man -E UTF-8 -l "$page" >"$work/page.txt"
"$program" --help >"$work/help.txt"

# Each option of the help is a tag of its own on the page, as written there.
sed -n -E 's/^ {1,6}(-[^ ]*( [^ ]+)*)( {2,}.*)?$/\1/p' "$work/help.txt" | sort >"$work/help-options"
sed -n -E 's/^ {7}(-[^ ]*( [^ ]+)*)( {2,}.*)?$/\1/p' "$work/page.txt" | sort >"$work/page-options"
[ "$(wc -l <"$work/help-options")" -ge 15 ] || fail "only $(wc -l <"$work/help-options") options found in --help"
missing="$(comm -23 "$work/help-options" "$work/page-options" | tr '\n' ' ')"
[ -z "$missing" ] || fail "options of --help missing from the page: $missing"

# Its headings and every line of its synopsis, "Usage: " aside.
while IFS= read -r heading; do
  grep -q -i -F -- "${heading%:}" "$work/page.txt" || fail "the heading \"$heading\" is not on the page"
done < <(grep -E '^[A-Z][^ ].*[^ ]:$' "$work/help.txt")
while IFS= read -r line; do
  [ -n "$line" ] || break
  synopsis="$(echo "${line#Usage: }" | sed -E 's/^ +//')"
  grep -q -F -- "$synopsis" "$work/page.txt" || fail "the synopsis line \"$synopsis\" is not on the page"
done <"$work/help.txt"

# What lintian finds in the package about manual pages (its other findings
# are not this test's).
cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
dpkg-deb --contents "$work"/package/*.deb | grep -q -E ' \./usr/share/man/man1/vastrel-digitizer\.1\.gz$' \
  || fail "the package holds no usr/share/man/man1/vastrel-digitizer.1.gz"
said="$(lintian --pedantic -I --no-tag-display-limit "$work"/package/*.deb 2>&1 | grep -E 'manpage|man-page|groff' || true)"
[ -z "$said" ] || fail "lintian: $said"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) of the manual page failed" >&2
  exit 1
fi
echo "manual page: $(wc -l <"$work/help-options") options, synopsis and headings of --help, no warning from man or lintian"
