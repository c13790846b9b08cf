#!/usr/bin/env bash
# Builds the Debian package: the program alone, for /usr, with Debian's compiler and hardening
# flags, in build-package/ (or $ZR_PACKAGE_DIR). Prints the .deb's path; install it with
# "sudo apt install ./build-package/zuvozeraro_*.deb".
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ZR_PACKAGE_DIR:-$top/build-package}
"$top/scripts/setup.sh" linux >&2

cd "$top"
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CXXFLAGS="$CXXFLAGS $CPPFLAGS"
echo "Building the program in $build..." >&2
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
    -DZR_BUILD_TESTS=OFF -DZR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >&2
rm -f "$build"/zuvozeraro_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/zuvozeraro_*.deb
