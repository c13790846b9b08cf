#!/usr/bin/env bash
# Installs the Debian packages that are missing, on Debian 12 or 13. "scripts/setup.sh linux"
# takes what the Linux build, its tests, the benchmarks, the demo and the Debian package need;
# without an argument the Windows cross build, Wine for its tests, the package checks' tools and
# what building Hamlib from its sources needs come too. Silent when everything is present;
# otherwise says what is missing and how download and installation go.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-svg-dev libgl-dev libxcb1-dev
    libhamlib-dev libhamlib-utils
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth fonts-liberation
    file
)
# Wanted where the release has them. Debian 13 moved Qt's SVG plugins, the icon engine that
# draws the window and tray icons among them, out of libqt6svg6 into a package of their own.
where_released=(qt6-svg-plugins)
case "${1:-all}" in
    linux) ;;
    # Hamlib's git sources need ./bootstrap (autoreconf) before ./configure.
    all) packages+=(g++-mingw-w64-x86-64-posix wine wine64 wine64-tools
        lintian desktop-file-utils appstream man-db
        autoconf automake libtool) ;;
    *) echo "usage: $0 [linux]" >&2; exit 2 ;;
esac

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}
released() {
    apt-cache show --no-all-versions "$1" >/dev/null 2>&1
}

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
for p in "${where_released[@]}"; do
    installed "$p" || ! released "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

echo "Missing Debian packages: ${missing[*]}"
echo "Updating the package lists (apt-get update)..."
as_root apt-get update -qq
# A new system may have had no package lists to look in until now.
more=()
for p in "${where_released[@]}"; do
    [[ " ${missing[*]} " == *" $p "* ]] || installed "$p" || ! released "$p" || more+=("$p")
done
if [ ${#more[@]} -gt 0 ]; then
    echo "Also missing, by the updated lists: ${more[*]}"
    missing+=("${more[@]}")
fi

count=$(as_root apt-get install -s --no-install-recommends "${missing[@]}" | grep -c '^Inst ' || true)
megabytes=$(as_root apt-get install -qq --print-uris --no-install-recommends "${missing[@]}" |
    awk '{ s += $3 } END { printf "%d", s / 1000000 }')
echo "Installing them and what they need: $count packages, $megabytes MB to download..."

# apt's machine-readable progress ("dlstatus:N:PERCENT:what", "pmstatus:PACKAGE:PERCENT:what"),
# shown a line per twentieth of each phase.
progress() {
    local line phase percent what shown_dl=-1 shown_pm=-1
    while IFS= read -r line; do
        [[ $line =~ ^(dl|pm)status:.*:([0-9]+)[.,][0-9]+:(.*)$ ]] || continue
        phase=${BASH_REMATCH[1]} percent=$((BASH_REMATCH[2] / 5 * 5)) what=${BASH_REMATCH[3]}
        if [ "$phase" = dl ] && [ "$percent" -gt "$shown_dl" ]; then
            shown_dl=$percent
            printf '  download %3d%%  %s\n' "$percent" "$what"
        elif [ "$phase" = pm ] && [ "$percent" -gt "$shown_pm" ]; then
            shown_pm=$percent
            printf '  install  %3d%%  %s\n' "$percent" "$what"
        fi
    done
}

log=$(mktemp "${TMPDIR:-/tmp}/zr-apt.XXXXXX")
# sudo closes every descriptor past stderr, so apt's status descriptor is opened on its side; the
# environment is passed the same way, since sudo resets it.
if as_root env DEBIAN_FRONTEND=noninteractive sh -c 'log=$1; shift; exec "$@" 3>&1 >>"$log" 2>&1' \
    sh "$log" apt-get install -y -q --no-install-recommends -o APT::Status-Fd=3 "${missing[@]}" |
    progress; then
    rm -f "$log"
    echo "Packages installed."
else
    tail -n 30 "$log" >&2
    echo "Installing the packages failed; apt's whole output is in $log" >&2
    exit 1
fi
