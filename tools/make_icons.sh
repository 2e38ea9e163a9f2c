#!/usr/bin/env bash
# Remakes the program's icons, share/icons/kov1-SIZE.png, from the drawing
# share/icons/KOV1.BAS with the built kov1-render ($1, default
# build/kov1-render), into share/icons or the folder $2. The drawing holds three versions of the icon, each
# drawn for the sizes it serves: the 32 x 16 screen pixels from (8, 8), the
# 24 x 12 from (48, 8) and the 16 x 8 from (80, 8); every screen row is two
# pixels high, so each makes a square picture, enlarged by whole factors.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
render=${1:-$top/build/kov1-render}
icons=$top/share/icons
out=${2:-$icons}

large=8,8,32,16
medium=48,8,24,12
small=80,8,16,8
while read -r size crop scale; do
  "$render" "$icons/KOV1.BAS" "$out/kov1-$size.png" --crop "$crop" --scale "$scale"
done << END
16 $small 1
24 $medium 1
32 $large 1
48 $medium 2
64 $large 2
96 $medium 4
128 $large 4
256 $large 8
END
echo "icons remade in $out"
