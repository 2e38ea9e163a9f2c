#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in $1/build-fuzz and runs each for
# 60 seconds on a scratch copy of its seed corpus (the committed corpus stays
# as it is). Any finding fails the stage: a crash or sanitizer report, an
# input that runs over 10 s, or memory over 2 GB. The input that caused it is
# kept in $1/build-fuzz/findings/ for reproducing: build-fuzz/NAME_fuzz FILE.
set -euo pipefail
top=$(cd "$1" && pwd)
build=$top/build-fuzz

CC=clang-14 CXX=clang++-14 "$top/tools/setup.sh" "$build" \
  -DKOV1_FUZZ=ON -DKOV1_TESTS=OFF -DKOV1_BENCH=OFF

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
findings=$build/findings
mkdir -p "$findings"

status=0
for name in reader print; do
  mkdir -p "$scratch/$name"
  cp "$top/fuzz/corpus/$name"/* "$scratch/$name/"
  log=$build/${name}_fuzz.log
  if "$build/${name}_fuzz" -max_total_time=60 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/${name}-" "$scratch/$name" > "$log" 2>&1; then
    echo "${name}_fuzz: clean; $(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1)"
  else
    echo "${name}_fuzz: FINDING (log: $log, input in $findings/)"
    tail -n 40 "$log"
    status=1
  fi
done
exit "$status"
