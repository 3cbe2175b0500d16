#!/usr/bin/env bash
# Draws the program's layers from CMake's own graph of its targets into docs/layers.png: the
# libraries of app, view, dialogs, calllog, citydb and platform and what each links, without the
# tests, benchmarks and tools. Needs Graphviz (apt-get install graphviz) and a configured build/.
#   scripts/layers-graph.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/CMakeGraphVizOptions.cmake" <<'OPTIONS'
set(GRAPHVIZ_GRAPH_NAME "Zonrik Ringlog: layers")
set(GRAPHVIZ_EXTERNAL_LIBS FALSE)
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS ".*_test$" ".*test.*" ".*bench.*" "fuzz.*" "ringlog-tool" "citydbgen" "dialogshots"
    "ringlog_warnings" "ringlog_placedcalls" "ringlog_planted" "screenwatch" "ringlog-startupbench" "citydb_data" "deb" "phoneseat")
OPTIONS
cp "$work/CMakeGraphVizOptions.cmake" "$build/CMakeGraphVizOptions.cmake"
cmake --graphviz="$work/layers.dot" "$build" >/dev/null
rm -f "$build/CMakeGraphVizOptions.cmake"
dot -Tpng -Grankdir=TB -Gdpi=80 "$work/layers.dot" -o docs/layers.png
echo "docs/layers.png"
