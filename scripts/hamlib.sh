#!/usr/bin/env bash
# Builds and tests the rig server against another Hamlib than Debian's: "scripts/hamlib.sh 4.7.2"
# or "scripts/hamlib.sh 5.0", from the sources in ../shared/hamlib/. That Hamlib is built once per
# machine into ${XDG_CACHE_HOME:-~/.cache}/zuvozeraro/hamlib-VERSION; the project's rig server
# tests and end-to-end tests are built against it in build-hamlib-VERSION/ and run with its
# rigctld. ZR_HAMLIB_PREFIX=DIR takes the Hamlib installed in DIR instead of building one
# (ZR_HAMLIB_PREFIX=/usr scripts/hamlib.sh 4.5 for Debian's). Fails when a build or a test fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

[ $# -eq 1 ] && [[ $1 =~ ^[0-9]+(\.[0-9]+)*$ ]] || { echo "usage: $0 VERSION (4.7.2, 5.0)" >&2; exit 2; }
version=$1
say() { echo "Hamlib $version: $*"; }
fail() { echo "Hamlib $version: $*" >&2; exit 1; }

# The tarball of that version in ../shared/hamlib/, into $tarball.
find_tarball() {
    local sources matches=()
    sources=$(cd "$top/.." && pwd)/shared/hamlib
    # The development branch's snapshot carries its commit in its name: found by glob.
    shopt -s nullglob
    matches=("$sources/hamlib-$version.tar.gz")
    [ -e "${matches[0]}" ] || matches=("$sources/hamlib-$version".*.tar.gz "$sources/hamlib-$version"-*.tar.gz)
    shopt -u nullglob
    if [ ${#matches[@]} -ne 1 ]; then
        fail "no single source tarball in $sources matches (found: ${matches[*]:-none})"
    fi
    tarball=${matches[0]}
}

# Building Hamlib into $prefix from $tarball, unless a complete build is there already.
build_hamlib() {
    # --without-samplerate only where configure knows it (5.0 on): older ones warn about it.
    local flags=(--prefix="$prefix" --disable-static --without-cxx-binding
        --disable-dependency-tracking --without-readline --without-indi --without-libusb
        --without-xml-support --disable-html-matrix --disable-winradio --disable-pytest)
    local stamp=$prefix/.complete
    # The stamp names the tarball, so a new snapshot of the same version is built anew.
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(basename "$tarball")" ]; then
        say "cached in $prefix"
        return
    fi

    local missing=() tool
    # Each tool that bootstrap, configure and make call, and the Debian package that has it.
    for tool in autoreconf:autoconf automake:automake libtoolize:libtool pkg-config:pkg-config \
        make:make cc:gcc m4:m4; do
        command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
    done
    [ ${#missing[@]} -eq 0 ] ||
        fail "building it needs ${missing[*]}: apt-get install ${missing[*]}"

    # Half-finished builds leave no stamp: they are started over from nothing.
    rm -rf "$prefix"
    mkdir -p "$prefix/src"
    local log=$prefix/build.log src=$prefix/src/${tarball##*/} start=$SECONDS
    src=${src%.tar.gz}
    : >"$log"
    step() {
        local what=$1; shift
        say "$what..."
        if ! (cd "$src" && "$@") >>"$log" 2>&1; then
            tail -n 25 "$log" >&2
            fail "$what failed; the whole output is in $log"
        fi
    }
    say "unpacking $(basename "$tarball") into $prefix/src..."
    tar -xzf "$tarball" -C "$prefix/src" >>"$log" 2>&1 || fail "unpacking failed; see $log"
    [ -d "$src" ] || fail "$(basename "$tarball") does not unpack into $(basename "$src")/"
    step bootstrap ./bootstrap
    local help
    help=$(cd "$src" && ./configure --help)
    if [[ $help == *--without-samplerate* ]]; then flags+=(--without-samplerate); fi
    step configure ./configure "${flags[@]}"
    step "make -j$(nproc)" make -j"$(nproc)"
    step "make install" make install
    [ -x "$prefix/bin/rigctld" ] && [ -f "$prefix/lib/pkgconfig/hamlib.pc" ] ||
        fail "make install left no bin/rigctld or lib/pkgconfig/hamlib.pc in $prefix; see $log"
    # The sources and objects are some hundred megabytes that nothing reads again.
    rm -rf "$prefix/src"
    basename "$tarball" >"$stamp"
    say "built and installed into $prefix in $((SECONDS - start)) s"
}

if [ -n "${ZR_HAMLIB_PREFIX:-}" ]; then
    prefix=$(cd "$ZR_HAMLIB_PREFIX" && pwd)
    say "the one installed in $prefix"
else
    find_tarball
    prefix=${XDG_CACHE_HOME:-$HOME/.cache}/zuvozeraro/hamlib-$version
    mkdir -p "$(dirname "$prefix")"
    # Two test runs at once on one machine build it once: the second waits for the first.
    exec 9>"$prefix.lock"
    flock 9
    build_hamlib
    exec 9>&-
fi

# Debian's own Hamlib has its .pc file where pkg-config looks anyway; a built one has it in lib/.
if [ -f "$prefix/lib/pkgconfig/hamlib.pc" ]; then
    export PKG_CONFIG_PATH=$prefix/lib/pkgconfig${PKG_CONFIG_PATH:+:$PKG_CONFIG_PATH}
fi
found=$(pkg-config --variable=prefix hamlib 2>/dev/null) ||
    fail "pkg-config finds no hamlib.pc for the one in $prefix"
[ "$(realpath -m "$found")" = "$(realpath -m "$prefix")" ] ||
    fail "pkg-config finds the Hamlib in $found, not the one in $prefix"
modversion=$(pkg-config --modversion hamlib)
[[ $modversion == "$version" || $modversion == "$version".* ]] ||
    fail "the one in $prefix is version $modversion"
libdir=$(realpath "$(pkg-config --variable=libdir hamlib)")

build=$top/build-hamlib-$version
log=$build/build.log
mkdir -p "$build"
say "configuring the project against Hamlib $modversion in $build..."
# The binaries find that libhamlib through their RPATH, ahead of Debian's in the system folders.
if ! cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR_BUILD_BENCH=OFF \
    -DCMAKE_BUILD_RPATH="$libdir" >"$log" 2>&1; then
    tail -n 25 "$log" >&2
    fail "configuring the project failed; the whole output is in $log"
fi
configured=$(sed -n 's/^HAMLIB_VERSION:INTERNAL=//p' "$build/CMakeCache.txt")
[ "$configured" = "$modversion" ] ||
    fail "the project in $build is configured against Hamlib ${configured:-?}, not $modversion"

# Only the rig server's tests and the end-to-end tests use Hamlib: nothing else is built.
targets=(hamlib_rigserver_tests app_e2e_tests)
say "building ${targets[*]}..."
if ! cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" >>"$log" 2>&1; then
    errors=$(grep -E ': (fatal )?error:' "$log" | sort -u || true)
    if [ -n "$errors" ]; then head -n 40 <<<"$errors" >&2; else tail -n 25 "$log" >&2; fi
    fail "the project does not build against it; the whole output is in $log"
fi

programs=("$build/tests/rigserver/hamlib/hamlib_rigserver_tests" "$build/tests/app/app_e2e_tests")

# The tests' own binaries and the rigctld they start must load this Hamlib, not Debian's.
export PATH=$prefix/bin:$PATH
rigctld=$(command -v rigctld) || fail "there is no rigctld in $prefix/bin"
[ "$rigctld" = "$prefix/bin/rigctld" ] || fail "rigctld is $rigctld, not $prefix/bin/rigctld"
for program in "${programs[@]}" "$rigctld"; do
    loaded=$(ldd "$program" | awk '$1 ~ /^libhamlib\.so/ { print $3 }')
    [ -n "$loaded" ] || fail "$program loads no libhamlib (ldd)"
    [ -f "$loaded" ] || fail "$program finds no libhamlib: $(ldd "$program" | grep libhamlib)"
    [ "$(dirname "$(realpath "$loaded")")" = "$libdir" ] ||
        fail "$program loads $loaded, not the libhamlib in $libdir"
done
"$rigctld" --version | grep -qF "Hamlib $modversion" ||
    fail "$rigctld says it is \"$("$rigctld" --version | head -n 1)\", not Hamlib $modversion"
say "the tests and rigctld load libhamlib from $libdir"

# Every test of the two programs carries the label; a count that differs is a stale listing.
listed=0
for program in "${programs[@]}"; do
    listed=$((listed + $("$program" --gtest_list_tests | grep -c '^  ')))
done
labelled=$(cd "$build" && ctest -N -L hamlib | grep -c 'Test *#' || true)
[ "$labelled" -eq "$listed" ] ||
    fail "ctest lists $labelled tests with the label hamlib where the programs hold $listed"

say "running the tests..."
ctest_log=$build/ctest.log
ctest_status=0
# The tests of those two programs carry the label "hamlib".
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" -L hamlib) 2>&1 |
    tee "$ctest_log" || ctest_status=$?
# ctest's closing count: "97% tests passed, 2 tests failed out of 63".
summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$ctest_log" || true)
total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
failed=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
if [ -z "$summary" ]; then
    fail "ctest ran no tests (exit status $ctest_status)"
fi
say "$total tests, $failed failed"
[ "$failed" -eq 0 ] && [ "$total" -gt 0 ] && [ "$ctest_status" -eq 0 ]
