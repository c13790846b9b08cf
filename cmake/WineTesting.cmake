# Tests of the Windows build run under Wine, in a prefix of the build's own, with one Wine session
# for the whole run: a set-up fixture keeps the Wine server up and creates the prefix, a clean-up
# fixture ends the server and whatever still runs in it.

# Debian's GoogleTest libraries are built for Linux; this build compiles them from the sources.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

find_program(ZR_WINESERVER wineserver REQUIRED)
set(ZR_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
# Wine turns Windows file names into Unix ones in the locale's character set: under the plain C
# locale of a chroot or a container a name with a letter beyond ASCII has no Unix name at all, so
# every run gets UTF-8, whatever the shell has.
set(ZR_WINE_ENVIRONMENT
    LC_ALL=C.UTF-8
    WINEPREFIX=${ZR_WINE_PREFIX}
    WINEDEBUG=-all
    WINEDLLOVERRIDES=winemenubuilder.exe=d
    WINEARCH=win64
)

# A prefix that does not exist yet is created by the first command run in it; wineboot would wait
# for a session that never comes. A server left running by an interrupted run is kept (-p then
# fails, which is fine).
add_test(NAME wine.start
    COMMAND sh -c "mkdir -p \"$WINEPREFIX\" && { \"$0\" -p60 >/dev/null 2>&1; \"$1\" cmd /c exit 0 >/dev/null 2>&1; }"
        ${ZR_WINESERVER} ${ZR_WINE})
# -k fails when the server has gone already, which is fine.
add_test(NAME wine.stop COMMAND sh -c "\"$0\" -k >/dev/null 2>&1; exit 0" ${ZR_WINESERVER})
set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300
    ENVIRONMENT "${ZR_WINE_ENVIRONMENT}")
set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60
    ENVIRONMENT "${ZR_WINE_ENVIRONMENT}")

# Properties of every test that runs under Wine.
function(zr_wine_test_properties)
    set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED wine
        ENVIRONMENT "${ZR_WINE_ENVIRONMENT}")
endfunction()

# Test sources left out of the Windows build. IniFileTest.cpp checks the POSIX side of the
# settings file (inodes, modes, symbolic links); omnirig/IniFileWindowsTest.cpp checks the Windows
# side.
set(ZR_WINE_SKIPPED_TEST_SOURCES IniFileTest.cpp)

# Tests are listed from their sources rather than by running the programs at build time, which
# would need Wine during the build. Takes gtest_discover_tests' arguments; only PROPERTIES counts.
function(gtest_discover_tests target)
    cmake_parse_arguments(ARG "" "DISCOVERY_TIMEOUT;TEST_PREFIX" "PROPERTIES" ${ARGN})
    get_target_property(sources ${target} SOURCES)
    list(REMOVE_ITEM sources ${ZR_WINE_SKIPPED_TEST_SOURCES})
    set_property(TARGET ${target} PROPERTY SOURCES ${sources})
    gtest_add_tests(TARGET ${target} SOURCES ${sources} TEST_LIST tests)
    if(ARG_PROPERTIES)
        set_tests_properties(${tests} PROPERTIES ${ARG_PROPERTIES})
    endif()
    zr_wine_test_properties(${tests})
endfunction()
