#!/usr/bin/env bash
# Builds the window tests with ThreadSanitizer in $1/build-tsan and runs the
# tests of the window thread and the key ring (label "threads"); each starts
# its own Xvfb server. A race report fails its test.
set -euo pipefail
top=$(cd "$1" && pwd)
build=$top/build-tsan
jobs=$(nproc)

cmake -S "$top" -B "$build" -DKOV1_TSAN=ON -DKOV1_BENCH=OFF > /dev/null
cmake --build "$build" -j"$jobs" --target sdl_window_test
ctest --test-dir "$build" -L threads --output-on-failure -j"$jobs"
