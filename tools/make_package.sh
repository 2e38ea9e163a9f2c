#!/usr/bin/env bash
# Makes the Debian package kov1_<version>_<arch>.deb with CPack in the build
# folder ($1, default build/, which must be configured), after building what
# is out of date, and prints the package's path.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
cmake --build "$build" -j"$(nproc)" > /dev/null
if ! (cd "$build" && cpack -G DEB) > "$build/cpack.log" 2>&1; then
  cat "$build/cpack.log" >&2
  exit 1
fi
sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' "$build/cpack.log"
