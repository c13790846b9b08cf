#!/usr/bin/env bash
# Installs every Debian 12 package that the build, the tests and the demo need. Idempotent, and
# quiet when everything is present.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-svg-dev libgl-dev
    libhamlib-dev libhamlib-utils
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth fonts-liberation
    g++-mingw-w64-x86-64-posix wine wine64 wine64-tools
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
