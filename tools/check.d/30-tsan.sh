#!/usr/bin/env bash
# Builds the window tests and the editor with ThreadSanitizer in
# $1/build-tsan and runs the tests labelled "threads": those of the window
# thread and the key ring, and the editor driven in its window (shapes, a
# load, menus, the exit). Each test program starts its own Xvfb server. A
# race report fails its test; the editor is run with halt_on_error, so a
# report in it ends it with status 66.
set -euo pipefail
top=$(cd "$1" && pwd)
build=$top/build-tsan
jobs=$(nproc)

cmake -S "$top" -B "$build" -DKOV1_TSAN=ON -DKOV1_BENCH=OFF > /dev/null
cmake --build "$build" -j"$jobs" --target sdl_window_test kov1 crash_test
ctest --test-dir "$build" -L threads --output-on-failure -j"$jobs"
