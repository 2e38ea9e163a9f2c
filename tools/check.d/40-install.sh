#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what lands there: the
# two programs, the desktop entry and the manual pages, which must format
# without a single warning. $1 is the top of the repository.
set -euo pipefail
top=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$top/build" --prefix "$prefix" > /dev/null

fail() {
  echo "40-install: $*" >&2
  exit 1
}

for program in kov1 kov1-render; do
  [[ -x "$prefix/bin/$program" ]] || fail "bin/$program is missing or not executable"
done
desktop=$prefix/share/applications/kov1.desktop
[[ -f "$desktop" ]] || fail "share/applications/kov1.desktop is missing"
grep -qx 'Exec=kov1' "$desktop" || fail "kov1.desktop does not start kov1"

if grep -qx 'desktop-file-utils' "$top/tools/packages.txt"; then
  desktop-file-validate "$desktop" || fail "kov1.desktop is not a valid desktop entry"
fi

for page in kov1 kov1-render; do
  file=$prefix/share/man/man1/$page.1
  [[ -f "$file" ]] || fail "share/man/man1/$page.1 is missing"
  warnings=$(groff -man -Tutf8 -ww "$file" 2>&1 > /dev/null)
  [[ -z "$warnings" ]] || fail "groff warns about $page.1: $warnings"
  warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 > /dev/null)
  [[ -z "$warnings" ]] || fail "man warns about $page.1: $warnings"
done

# The editor's page names its keys, its files and its display variable.
text=$(MANWIDTH=80 man -l "$prefix/share/man/man1/kov1.1" 2> /dev/null)
for word in Ctrl-X Ctrl-S F1 Backspace PgDn image.img image.img.1 TRVGFX TRVGFX_SCRIPT \
  TRVGFX_SNAPSHOTS; do
  grep -qF -- "$word" <<< "$text" || fail "kov1.1 does not mention $word"
done

"$prefix/bin/kov1-render" --help > /dev/null || fail "the installed kov1-render does not run"
echo "install: programs, desktop entry and manual pages in place"
