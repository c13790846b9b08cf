# The Debian package: `cpack -G DEB` in a build directory (scripts/package.sh makes one for /usr).
# Only the program's install component goes in, whatever else the build holds.
set(CPACK_PACKAGE_NAME zuvozeraro)
set(CPACK_PACKAGE_VENDOR "ZuvozeRaro developers")
set(CPACK_PACKAGE_CONTACT "ZuvozeRaro developers <maintainers@zuvozeraro.example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://zuvozeraro.example.org)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "work two transceivers from one station")
set(CPACK_PACKAGE_DESCRIPTION
    "ZuvozeRaro is for the radio amateur who works two transceivers from one
station. It shows both rigs side by side (both VFOs, mode, split, RIT,
receive or transmit), makes a slave rig follow a master rig's frequency and
mode, and moves the operating frequency between the rigs with one click,
shifted by an offset of -500 to +500 Hz.

Radios are reached through Hamlib: on serial ports, or shared over the
network by rigctld or flrig. With no radio configured it runs on two Hamlib
Dummy rigs, so everything can be tried at once.

This build is for Hamlib ${HAMLIB_VERSION}; on a Hamlib of another major or
minor version it uses Hamlib's public functions alone.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL zuvozeraro)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Depends line comes from the libraries the binary links, not from a hand-kept list.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Added to what dpkg-shlibdeps finds, which sees only linked libraries: Qt loads the SVG icon
# engine as a plugin, and the frequency labels are laid out for Liberation Sans (Narrow); in a
# wider face the digits are cut off. The plugin's package is the one that installed it here:
# libqt6svg6 on Debian 12, qt6-svg-plugins since Debian 13 split it off.
set(ZR_SVG_ICON_PLUGIN
    ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/iconengines/libqsvgicon.so)
set(svg_icon_package "")
if(EXISTS ${ZR_SVG_ICON_PLUGIN})
    execute_process(COMMAND dpkg-query -S ${ZR_SVG_ICON_PLUGIN}
        OUTPUT_VARIABLE svg_icon_package OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    string(REGEX REPLACE "[:,].*" "" svg_icon_package "${svg_icon_package}")
endif()
if(NOT svg_icon_package)
    message(WARNING "Qt's SVG icon engine, ${ZR_SVG_ICON_PLUGIN}, is not installed from a "
        "package: the Debian package cannot depend on it (scripts/setup.sh installs it)")
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${svg_icon_package}, fonts-liberation")
endif()
# rigctld, to share a radio with other programs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libhamlib-utils)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
