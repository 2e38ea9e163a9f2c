#!/usr/bin/env bash
# Installs the Debian packages that are missing (tools/packages.txt) and
# builds the project into build/ (or $1 with further CMake options).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
shift || true

missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done < "$top/tools/packages.txt"

if ((${#missing[@]})); then
  if [[ $(id -u) -eq 0 ]]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" > /dev/null
  else
    echo "Please install the missing packages first:"
    echo "  sudo apt-get install -y ${missing[*]}"
    exit 1
  fi
fi

cmake -S "$top" -B "$build" "$@" > /dev/null
cmake --build "$build" -j"$(nproc)"
