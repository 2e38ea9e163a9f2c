#!/usr/bin/env bash
# The install stage. $1 is the top of the repository.
#
# First the build is installed into a scratch prefix: the two programs, the
# desktop entry, the file type of *.bas files (a .bas file must be taken for
# it, and open in kov1) and the manual pages, which must format without a
# single warning. Then the Debian package is made and checked with lintian
# (an error fails the stage). Run as root, the stage installs the package
# with apt-get, checks that the desktop finds its entry, file type, icon and
# software-centre entry, starts the installed kov1 from its desktop entry on
# Xvfb with a fresh home folder, and removes the package again, checking
# that nothing of it is left. Whatever fails, the package and anything apt
# brought in with it are removed on the way out.
set -euo pipefail
top=$(cd "$1" && pwd)
scratch=$(mktemp -d)
installed_here=no
apt=()
brought_in=()  # what apt installs along with the package
cleanup() {
  local remove=("${brought_in[@]}")
  if [[ $installed_here == yes ]] && dpkg-query -W kov1 > /dev/null 2>&1; then remove+=(kov1); fi
  if ((${#remove[@]})); then
    "${apt[@]}" purge "${remove[@]}" > /dev/null 2>&1 ||
      echo "40-install: could not remove ${remove[*]}; remove them by hand" >&2
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
  echo "40-install: $*" >&2
  exit 1
}

# As the desktop sees it through the command "$@" (an env ... that sets
# where it looks): a .bas file is text/x-basic, and kov1 opens it.
check_file_type() {
  local type handlers
  printf 'SCREEN 8\r\n' > "$scratch/house.bas"
  type=$("$@" gio info -a standard::content-type "$scratch/house.bas" |
    sed -n 's/^ *standard::content-type: //p')
  [[ "$type" == text/x-basic ]] || fail "a .bas file is taken for '$type', not text/x-basic"
  handlers=$("$@" gio mime text/x-basic)
  grep -q '^Default application for .*: kov1\.desktop$' <<< "$handlers" ||
    fail "kov1 is not the program for text/x-basic: $handlers"
}

prefix=$scratch/prefix
cmake --install "$top/build" --prefix "$prefix" > /dev/null

for program in kov1 kov1-render; do
  [[ -x "$prefix/bin/$program" ]] || fail "bin/$program is missing or not executable"
done
desktop=$prefix/share/applications/kov1.desktop
[[ -f "$desktop" ]] || fail "share/applications/kov1.desktop is missing"
grep -qx 'Exec=kov1 --pictures %f' "$desktop" || fail "kov1.desktop does not start kov1 with a file"
grep -qx 'MimeType=text/x-basic;' "$desktop" || fail "kov1.desktop does not open .bas files"
grep -qx 'Icon=kov1' "$desktop" || fail "kov1.desktop does not name the icon kov1"
desktop-file-validate "$desktop" || fail "kov1.desktop is not a valid desktop entry"

# The desktop's view of the prefix alone (with the system's types below it):
# a .bas file is text/x-basic, and kov1 is the program that opens it.
[[ -f "$prefix/share/mime/packages/kov1.xml" ]] || fail "share/mime/packages/kov1.xml is missing"
home=$scratch/home
mkdir "$home"
check_file_type env LC_ALL=C "PATH=$prefix/bin:$PATH" "XDG_DATA_HOME=$home" "XDG_CONFIG_HOME=$home" \
  "XDG_DATA_DIRS=$prefix/share:/usr/share"

for page in kov1 kov1-render; do
  file=$prefix/share/man/man1/$page.1.gz
  [[ -f "$file" ]] || fail "share/man/man1/$page.1.gz is missing"
  warnings=$(zcat "$file" | groff -man -Tutf8 -ww 2>&1 > /dev/null)
  [[ -z "$warnings" ]] || fail "groff warns about $page.1: $warnings"
  warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 > /dev/null)
  [[ -z "$warnings" ]] || fail "man warns about $page.1: $warnings"
done

# The editor's page names its keys, its files and its display variable.
text=$(MANWIDTH=80 man -l "$prefix/share/man/man1/kov1.1.gz" 2> /dev/null)
for word in Ctrl-X Ctrl-S Ctrl-P F1 Backspace PgDn image.img image.img.1 TRVGFX TRVGFX_SCRIPT \
  TRVGFX_SNAPSHOTS FILE --help --version --pictures XDG_PICTURES_DIR; do
  grep -qF -- "$word" <<< "$text" || fail "kov1.1 does not mention $word"
done
text=$(MANWIDTH=80 man -l "$prefix/share/man/man1/kov1-render.1.gz" 2> /dev/null)
for word in --crop --scale --help; do
  grep -qF -- "$word" <<< "$text" || fail "kov1-render.1 does not mention $word"
done

"$prefix/bin/kov1-render" --help > /dev/null || fail "the installed kov1-render does not run"
echo "install: programs, desktop entry, file type and manual pages in place"

# The package: its files, its lint.
deb=$("$top/tools/make_package.sh" "$top/build")
version=$(dpkg-deb -f "$deb" Version)
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' > "$scratch/contents"
for file in /usr/bin/kov1 /usr/bin/kov1-render /usr/share/applications/kov1.desktop \
  /usr/share/mime/packages/kov1.xml /usr/share/metainfo/org.example.kov1.metainfo.xml \
  /usr/share/man/man1/kov1.1.gz /usr/share/man/man1/kov1-render.1.gz \
  /usr/share/bash-completion/completions/kov1 /usr/share/bash-completion/completions/kov1-render \
  /usr/share/doc/kov1/copyright /usr/share/doc/kov1/changelog.gz /usr/share/doc/kov1/README.md \
  /usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,96x96,128x128,256x256}/apps/kov1.png; do
  grep -qx "$file" "$scratch/contents" || fail "the package lacks $file"
done
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libsdl2' <<< "$depends" || fail "the package does not depend on SDL2: $depends"
lint=$(lintian "$deb" 2>&1 | grep -v 'running with root privileges' || true)
[[ -z "$lint" ]] || echo "$lint"
if grep -q '^E: ' <<< "$lint"; then fail "lintian finds errors in $(basename "$deb")"; fi
echo "package: $(basename "$deb") holds every file, depends on $depends; lintian: no error"

if [[ $(id -u) -ne 0 ]]; then
  echo "package: not installed (that needs root); checked with dpkg-deb -c and lintian only"
  exit 0
fi
# One check at a time installs the package on this machine (others may run
# beside it in other work trees); apt waits for a package manager at work.
exec 9> /run/lock/kov1-package-check
flock -w 900 9 || fail "another check holds /run/lock/kov1-package-check"
apt=(env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -qq)
if dpkg-query -W -f='${Status}' kov1 2> /dev/null | grep -q 'installed'; then
  echo "package: not installed, a kov1 package is installed on this machine already"
  exit 0
fi

# Installed: the package and what apt brings in with it are removed on the
# way out, whatever happens.
caches=(/usr/share/applications/mimeinfo.cache /usr/share/mime/mime.cache)
before=$(md5sum "${caches[@]}" 2> /dev/null || true)
mapfile -t brought_in < <(apt-get install -s "$deb" | awk '/^Inst / && $2 != "kov1" {print $2}')
installed_here=yes
"${apt[@]}" install "$deb" > "$scratch/apt.log" 2>&1 ||
  { cat "$scratch/apt.log"; fail "apt-get install $(basename "$deb") failed"; }
dpkg -L kov1 > "$scratch/installed"

# Where the desktop looks: the entry, the file type and its program (for a
# user with no settings of their own), the software-centre entry.
desktop-file-validate /usr/share/applications/kov1.desktop ||
  fail "the installed kov1.desktop is not a valid desktop entry"
mkdir "$scratch/fresh-home"
check_file_type env -i "PATH=$PATH" LC_ALL=C "HOME=$scratch/fresh-home"
appstreamcli validate --no-net /usr/share/metainfo/org.example.kov1.metainfo.xml > /dev/null ||
  fail "the installed software-centre entry does not validate"

# The icon by its name: at every size it comes in, the hicolor theme has a
# folder of that size for programs' icons, and there kov1.png is that size.
theme=/usr/share/icons/hicolor
for size in 16 24 32 48 64 96 128 256; do
  folder=${size}x${size}/apps
  awk -v dir="[$folder]" -v size="$size" '
    $0 == dir { inside = 1; next }
    /^\[/ { inside = 0 }
    inside && $0 == "Size=" size { size_ok = 1 }
    inside && $0 == "Context=Applications" { context_ok = 1 }
    END { exit !(size_ok && context_ok) }' "$theme/index.theme" ||
    fail "the hicolor theme has no folder $folder for $size-pixel program icons"
  file "$theme/$folder/kov1.png" | grep -q "PNG image data, $size x $size," ||
    fail "the icon kov1 is not found at $size pixels in the hicolor theme"
done

[[ "$(/usr/bin/kov1 --version)" == "kov1 $version" ]] || fail "the installed kov1 is not version $version"
MANWIDTH=80 man --warnings kov1-render 2>&1 > /dev/null | grep . && fail "man kov1-render warns"
# (The loader's status is 124 once it has loaded a completion.)
bash -c 'source /usr/share/bash-completion/bash_completion; _completion_loader kov1-render
  complete -p kov1-render' 2>&1 | grep -q ' -F _kov1_render kov1-render$' ||
  fail "bash does not find the completion of kov1-render"
echo "installed: entry, file type, icon, software-centre entry, manual pages and completion found"

# Started from its desktop entry without a file, by a user with a fresh home
# folder, kov1 keeps its journal in Pictures/KOV1 and makes nothing else
# there; the libraries it uses may keep their own hidden folders.
launch_home=$scratch/launch-home
mkdir "$launch_home"
# shellcheck disable=SC2016
xvfb-run -a -s "-screen 0 1024x768x24" env -u TRVGFX -u XDG_CONFIG_HOME -u XDG_DATA_HOME \
  "HOME=$launch_home" bash -c '
  cd "$HOME" && gio launch /usr/share/applications/kov1.desktop || exit 1
  journal=$HOME/Pictures/KOV1/image.img
  for ((i = 0; i < 100; i++)); do [[ -e $journal ]] && break; sleep 0.1; done
  for proc in /proc/[0-9]*; do
    [[ $(readlink "$proc/cwd" 2> /dev/null) == "$HOME/Pictures/KOV1" ]] || continue
    pid=${proc#/proc/}
    kill "$pid"
    while kill -0 "$pid" 2> /dev/null; do sleep 0.1; done
  done
  [[ -e $journal ]]' || fail "started from its desktop entry, kov1 made no journal in Pictures/KOV1"
made=$(cd "$launch_home" && find . -mindepth 1 -not -path './.*' | sort | xargs)
[[ "$made" == "./Pictures ./Pictures/KOV1 ./Pictures/KOV1/image.img" ]] ||
  fail "started from its desktop entry, kov1 made in the home folder: $made"
echo "desktop start: the journal is in Pictures/KOV1, nothing else in the home folder"

# Removed, it leaves none of its files, and the desktop's caches are as
# they were before it came.
"${apt[@]}" remove kov1 > "$scratch/apt.log" 2>&1 ||
  { cat "$scratch/apt.log"; fail "apt-get remove kov1 failed"; }
! dpkg-query -W -f='${Status}' kov1 2> /dev/null | grep -q installed || fail "kov1 is still installed"
while read -r path; do
  [[ -d "$path" || ! -e "$path" ]] || fail "removed, kov1 left $path"
done < "$scratch/installed"
[[ "$(md5sum "${caches[@]}" 2> /dev/null || true)" == "$before" ]] ||
  fail "removed, kov1 left the desktop's caches changed"
[[ ! -e /usr/share/mime/text/x-basic.xml ]] || grep -q 'x-basic' /usr/share/mime/packages/*.xml ||
  fail "removed, kov1 left its file type in the MIME database"
echo "package: installed, found by the desktop, started, and removed without a trace"
