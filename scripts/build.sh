#!/usr/bin/env bash
# Configures and builds into build/ (or $ZR_BUILD_DIR): everything, or only the targets named and
# what they need ("scripts/build.sh zuvozeraro" for the program alone).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
[ $# -eq 0 ] || set -- --target "$@"
cmake --build "$build" -j"$(nproc)" "$@"
