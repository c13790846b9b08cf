#!/bin/sh
# --help and --version answer without a display and leave nothing behind in the working
# directory; usage: ProgramOptionsTest.sh PROGRAM VERSION
set -eu
program=$1 version=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
answer() { env -i PATH=/usr/bin:/bin HOME="$dir" "$program" "$1"; }
answer --help | grep -q '^Usage: zuvozeraro \[-F settings-file\]$'
answer --help | grep -q -- '--version'
[ "$(answer --version | head -n 1)" = "zuvozeraro $version" ]
answer --version | grep -q '^Rigs through Hamlib [0-9]'
[ -z "$(ls -A "$dir")" ] || { echo "left behind: $(ls -A "$dir")"; exit 1; }
