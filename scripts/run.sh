#!/usr/bin/env bash
# Installs what is missing, builds the program alone and starts it. Arguments go to the program,
# so "scripts/run.sh -F ~/station.ini" starts it on another settings file. Without a display the
# window opens on a virtual one (Xvfb).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
program=$build/app/zuvozeraro

"$top/scripts/setup.sh" linux
if [ -x "$program" ]; then
    echo "Building the program in $build..."
else
    echo "Building the program in $build (the first build takes a few minutes)..."
fi
"$top/scripts/build.sh" zuvozeraro

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    # The window keeps its design position, (388, 195), and is 680 wide: 1024 x 768 cut off
    # rig 2's panel.
    echo "No display found: starting $program on a virtual one (xvfb-run, 1280 x 1024)."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$program" "$@"
fi
echo "Starting $program"
exec "$program" "$@"
