#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what lands there: the
# two programs, the desktop entry, the file type of *.bas files (a .bas file
# must be taken for it, and open in kov1) and the manual pages, which must
# format without a single warning. $1 is the top of the repository.
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
grep -qx 'Exec=kov1 %f' "$desktop" || fail "kov1.desktop does not start kov1 with a file"
grep -qx 'MimeType=text/x-basic;' "$desktop" || fail "kov1.desktop does not open .bas files"
desktop-file-validate "$desktop" || fail "kov1.desktop is not a valid desktop entry"

# The desktop's view of the prefix alone (with the system's types below it):
# a .bas file is text/x-basic, and kov1 is the program that opens it.
[[ -f "$prefix/share/mime/packages/kov1.xml" ]] || fail "share/mime/packages/kov1.xml is missing"
home=$(mktemp -d -p "$prefix")
printf 'SCREEN 8\r\n' > "$home/house.bas"
desktop_env=(env LC_ALL=C "PATH=$prefix/bin:$PATH" "XDG_DATA_HOME=$home" "XDG_CONFIG_HOME=$home"
  "XDG_DATA_DIRS=$prefix/share:/usr/share")
type=$("${desktop_env[@]}" gio info -a standard::content-type "$home/house.bas" |
  sed -n 's/^ *standard::content-type: //p')
[[ "$type" == text/x-basic ]] || fail "a .bas file is taken for '$type', not text/x-basic"
handlers=$("${desktop_env[@]}" gio mime text/x-basic)
grep -q '^Default application for .*: kov1\.desktop$' <<< "$handlers" ||
  fail "kov1 is not the program for text/x-basic: $handlers"

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
for word in Ctrl-X Ctrl-S Ctrl-P F1 Backspace PgDn image.img image.img.1 TRVGFX TRVGFX_SCRIPT \
  TRVGFX_SNAPSHOTS FILE --help --version; do
  grep -qF -- "$word" <<< "$text" || fail "kov1.1 does not mention $word"
done

"$prefix/bin/kov1-render" --help > /dev/null || fail "the installed kov1-render does not run"
echo "install: programs, desktop entry, file type and manual pages in place"
