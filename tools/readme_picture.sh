#!/usr/bin/env bash
# Remakes the README's picture: the editor runs headless on the key script
# docs/readme-picture.keys, and its last snapshot, every row shown twice as
# the window shows it, is written as PNG by build/snapshot-png.
#   tools/readme_picture.sh [BUILD [OUT.png]]   (defaults: build/, docs/kov1-editor.png)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
out=${2:-$top/docs/kov1-editor.png}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
(cd "$work" && TRVGFX=script TRVGFX_SCRIPT="$top/docs/readme-picture.keys" \
  TRVGFX_SNAPSHOTS="$work" "$build/kov1" > "$work/out" 2> "$work/err") || status=$?
# The Script back-end ends with status 3 once the script is used up.
if [[ $status -ne 3 ]] || ! grep -qx "script ended" "$work/err"; then
  echo "readme_picture: the editor ended with status $status:" >&2
  cat "$work/err" >&2
  exit 1
fi
"$build/snapshot-png" "$work/final" "$out"
