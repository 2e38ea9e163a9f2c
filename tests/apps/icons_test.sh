#!/usr/bin/env bash
# The icons: the committed PNGs are what tools/make_icons.sh makes of the
# drawing now, and the drawing is one the editor itself saves: loaded and
# saved again, it keeps every byte. $1 kov1, $2 kov1-render, $3 the top of
# the repository.
set -euo pipefail
kov1=$(realpath "$1") render=$(realpath "$2") top=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$top/tools/make_icons.sh" "$render" "$work" > /dev/null
for made in "$work"/kov1-*.png; do
  cmp "$made" "$top/share/icons/$(basename "$made")" ||
    { echo "share/icons/$(basename "$made") is not made from KOV1.BAS: run tools/make_icons.sh"; exit 1; }
done
committed=$(cd "$top/share/icons" && ls kov1-*.png | sort)
[[ "$committed" == "$(cd "$work" && ls kov1-*.png | sort)" ]] || { echo "icons differ: $committed"; exit 1; }

cp "$top/share/icons/KOV1.BAS" "$work/"
printf '%s\n' SPACE ESC ENTER CTRL-S ENTER 'text "AGAIN.BAS"' ENTER CTRL-X > "$work/keys"
(cd "$work" && TRVGFX=script TRVGFX_SCRIPT=keys TRVGFX_SNAPSHOTS=. "$kov1" KOV1.BAS > /dev/null)
cmp "$work/KOV1.BAS" "$work/AGAIN.BAS" || { echo "the editor saves KOV1.BAS otherwise"; exit 1; }
echo "icons: made from KOV1.BAS, which the editor saves unchanged"
