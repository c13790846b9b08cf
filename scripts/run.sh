#!/usr/bin/env bash
# Installs what is missing, builds and starts the program. Arguments go to the program, so
# "scripts/run.sh -F ~/station.ini" starts it on another settings file. Without a display the
# window opens on a virtual one (Xvfb).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" >/dev/null
program=${ZR_BUILD_DIR:-$top/build}/app/zuvozeraro
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: the window opens on a virtual display (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$program" "$@"
fi
exec "$program" "$@"
