#!/usr/bin/env bash
# The Debian package's checks, one per CTest test:
#   check.sh build CPACK_CONFIG DIR   cpack the build into DIR and unpack the .deb into DIR/root
#   check.sh lintian|desktopentry|appstream|manpage|contents DIR
#   check.sh depends SVG_ICON_PLUGIN DIR
set -euo pipefail
what=$1
dir=${*: -1}
root=$dir/root
deb() { ls "$dir"/zuvozeraro_*.deb; }
need() {
    for tool; do
        command -v "$tool" >/dev/null || { echo "missing $tool (setup.sh installs it)"; exit 1; }
    done
}

case $what in
build)
    need cpack dpkg-deb dpkg-shlibdeps file
    rm -rf "$dir" && mkdir -p "$dir"
    cpack -G DEB --config "$2" -B "$dir"
    dpkg-deb -x "$(deb)" "$root"
    ;;
lintian)
    need lintian
    # Its findings are kept for scripts/test.sh to show; only an error fails.
    lintian --fail-on error --display-info "$(deb)" | tee "$dir/lintian.log"
    ;;
desktopentry)
    need desktop-file-validate
    desktop-file-validate "$root/usr/share/applications/zuvozeraro.desktop"
    ;;
appstream)
    need appstreamcli
    appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
    # The same with the desktop entry and icons it names.
    appstreamcli validate-tree --no-net "$root"
    ;;
manpage)
    need man
    # Anything man says on its error output is a fault in the page.
    errors=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
        "$root/usr/share/man/man1/zuvozeraro.1.gz" 2>&1 >/dev/null)
    [ -z "$errors" ] || { echo "$errors"; exit 1; }
    ;;
contents)
    status=0
    files=(bin/zuvozeraro share/applications/zuvozeraro.desktop
        share/metainfo/org.example.zuvozeraro.metainfo.xml share/man/man1/zuvozeraro.1.gz
        share/icons/hicolor/scalable/apps/zuvozeraro.svg
        share/doc/zuvozeraro/{copyright,changelog.Debian.gz,COPYING,README.md})
    for size in 16 22 24 32 48 64 128 256; do
        files+=("share/icons/hicolor/${size}x$size/apps/zuvozeraro.png")
    done
    for f in "${files[@]}"; do
        [ -s "$root/usr/$f" ] || { echo "missing: /usr/$f"; status=1; }
    done
    # The program's files and nothing else: no tests, benchmarks or build leftovers.
    extra=$(cd "$root" && find . -type f |
        grep -v -e '^\./usr/bin/zuvozeraro$' -e '^\./usr/share/' || true)
    [ -z "$extra" ] || { echo "unexpected: $extra"; status=1; }
    exit $status
    ;;
depends)
    need dpkg-deb dpkg-query ldd objdump
    program=$root/usr/bin/zuvozeraro
    # The package names in Depends, alternatives included, without versions.
    depends=" $(dpkg-deb -f "$(deb)" Depends | tr ',|' '\n\n' | sed 's/(.*)//; s/ //g' |
        tr '\n' ' ') "
    echo "Depends:$depends"
    status=0
    # Qt's SVG icon engine draws the window and tray icons: the package that installed it here
    # (libqt6svg6, or qt6-svg-plugins since Debian 13) must come with the program.
    package=$(dpkg-query -S "$2" 2>/dev/null | cut -d: -f1) || true
    echo "$(basename "$2") -> ${package:-no package}"
    [[ -n $package && $depends == *" $package "* ]] || { echo "  not in Depends"; status=1; }
    # Each library the program names itself, where the loader finds it, and whose it is.
    for name in $(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }'); do
        path=$(ldd "$program" | awk -v n="$name" '$1 == n && $3 ~ /^\// { print $3 }')
        # dpkg knows a library by the path its package gave it: the loader's or the link's target.
        owner=$(dpkg-query -S "${path:-$name}" 2>/dev/null ||
            dpkg-query -S "$(realpath "${path:-$name}")" 2>/dev/null) ||
            { echo "$name (${path:-not found}) belongs to no package"; status=1; continue; }
        package=${owner%%:*}
        echo "$name -> $package"
        [[ $depends == *" $package "* ]] || { echo "  $package is not in Depends"; status=1; }
    done
    exit $status
    ;;
*)
    echo "unknown check: $what" >&2
    exit 2
    ;;
esac
