#!/usr/bin/env bash
# Installs what is missing, builds, and runs every benchmark: one line per figure on the output
# (name, value, unit, target), Google Benchmark's tables in build/bench/bench.log.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" linux
"$top/scripts/build.sh" >/dev/null
build=${ZR_BUILD_DIR:-$top/build}
log=$build/bench/bench.log
: >"$log"
status=0
for bench in hamlib_bench window_bench process_bench; do
    "$build/bench/$bench" 2>>"$log" || status=1
done
echo "(tables: $log)"
exit $status
