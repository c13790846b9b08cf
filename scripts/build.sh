#!/usr/bin/env bash
# Configures and builds into build/ (or $ZR_BUILD_DIR): everything, or only the targets named and
# what they need ("scripts/build.sh zuvozeraro" for the program alone).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
# Qt's programs in the build (rcc) want a UTF-8 character set: where the environment names no
# locale, or C or POSIX, each would switch to C.UTF-8 (the same locale with UTF-8 characters)
# itself and warn. A locale that is set is left as it is.
characters=$(locale 2>/dev/null | sed -n 's/^LC_CTYPE="\{0,1\}\([^"]*\)"\{0,1\}$/\1/p')
if [[ $characters == C || $characters == POSIX ]] && [ -z "$(locale 2>&1 >/dev/null)" ] &&
    [ "$(LC_ALL=C.UTF-8 locale charmap 2>/dev/null)" = UTF-8 ]; then
    # LC_ALL outranks LC_CTYPE; set, it is C or POSIX for every category.
    if [ -n "${LC_ALL:-}" ]; then export LC_ALL=C.UTF-8; else export LC_CTYPE=C.UTF-8; fi
fi
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
[ $# -eq 0 ] || set -- --target "$@"
cmake --build "$build" -j"$(nproc)" "$@"
