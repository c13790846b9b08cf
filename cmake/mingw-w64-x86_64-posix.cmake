# Cross-compiles for 64-bit Windows with mingw-w64's posix thread model (GoogleTest needs
# std::thread and std::mutex, which the win32 model lacks). Everything is linked statically, so
# the programs run under Wine without any DLL of the toolchain; tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZR_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZR_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(ZR_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZR_WINE})
