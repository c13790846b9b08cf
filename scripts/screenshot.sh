#!/usr/bin/env bash
# Takes the README's pictures under Xvfb: the main window with rig 1 on-line and rig 2 off-line,
# the About box, and the rig server's settings window.
#   scripts/screenshot.sh main docs/main-window.png
#   scripts/screenshot.sh about docs/about-box.png
#   scripts/screenshot.sh settings docs/settings-window.png
set -euo pipefail
what=${1:?main, about or settings}
out=$(realpath -m "${2:?output PNG}")
top=$(cd "$(dirname "$0")/.." && pwd)
program=${ZR_BUILD_DIR:-$top/build}/app/zuvozeraro

for p in x11-apps x11-utils imagemagick xdotool xvfb; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
        missing="${missing:-} $p"
done
if [ -n "${missing:-}" ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

work=$(mktemp -d)
display=:$((90 + RANDOM % 100))
cleanup() {
    kill "${app:-}" "${xvfb:-}" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

if [ "$what" = main ]; then
    # Rig 2 on a network rig server that is not there: it shows off-line.
    printf '[RIG2]\nMODEL=2\nPORT=127.0.0.1:9\n' >"$work/ZUVOZERARO.INI"
elif [ "$what" = settings ]; then
    # A station as the README sets it up: a radio on a serial cable, shared with the station's
    # other programs, and one behind rigctld with a 2 m transverter.
    printf '[RIG1]\nMODEL=3073\nPORT=/dev/ttyUSB0\nSPEED=19200\nSHARE=4532\n[RIG2]\nMODEL=2\nPORT=192.168.1.20:4532\nLO=116000000\n' >"$work/ZUVOZERARO.INI"
fi
# Room for the window at its design position, (388, 195), and for its dialogs.
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

(cd "$work" && XDG_RUNTIME_DIR=$work exec "$program") &
app=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name "Korvex Plus" | head -1)
sleep 2  # the rigs come on-line, or give up
case "$what" in
    about)
        xdotool windowfocus "$window" key alt+space
        sleep 0.5
        xdotool key a
        window=$(timeout 20 xdotool search --sync --onlyvisible --name "Using OmniRig" | head -1)
        sleep 1
        ;;
    settings)
        xdotool windowfocus "$window" key alt+space
        sleep 0.5
        xdotool key Up Up Up Return
        window=$(timeout 20 xdotool search --sync --onlyvisible --name "Rig server settings" | head -1)
        sleep 1
        ;;
esac
# The window's own contents: a dialog does not always show in a grab of the root window here.
xwd -id "$window" -silent | /usr/bin/convert xwd:- "png:$out"
echo "$out"
