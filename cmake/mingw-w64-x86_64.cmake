# Cross-compiles the Windows front end with Debian's MinGW-w64 (x86_64, win32
# threads). Use: cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVANTA_MINGW_PREFIX x86_64-w64-mingw32 CACHE STRING "Prefix of the MinGW-w64 tools")

# Prefer the win32 thread model: the program has one thread and then needs no
# winpthread DLL at all.
find_program(ORVANTA_MINGW_CXX NAMES ${ORVANTA_MINGW_PREFIX}-g++-win32 ${ORVANTA_MINGW_PREFIX}-g++ REQUIRED)
set(CMAKE_CXX_COMPILER ${ORVANTA_MINGW_CXX})
set(CMAKE_RC_COMPILER ${ORVANTA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVANTA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The executables are run under Wine here; nothing from the build host is
# run as a Windows program.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
