#!/usr/bin/env bash
# The layers: configures a build tree that reports its link graph and its
# targets' sources, then checks that the project's targets link without a
# cycle and that no file under src/ includes a header of a target its own
# target does not link (tools/check_layers.py). $1 is the top of the
# repository.
set -euo pipefail
top=$1
build="$top/build-layers"
mkdir -p "$build/.cmake/api/v1/query"
touch "$build/.cmake/api/v1/query/codemodel-v2"
cmake -S "$top" -B "$build" -DKOV1_TESTS=OFF -DKOV1_BENCH=OFF --graphviz="$build/graph.dot" > /dev/null
python3 "$top/tools/check_layers.py" "$top" "$build"
