# Cross-compiles the Windows front end with Debian's MinGW-w64 (x86_64, POSIX
# threads). Use: cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVANTA_MINGW_PREFIX x86_64-w64-mingw32 CACHE STRING "Prefix of the MinGW-w64 tools")

# The POSIX thread model: the solve runs on a std::thread beside the window,
# which the win32 model of g++ 12 lacks. The thread runtime is linked in
# statically with the rest, so the .exe still needs only system DLLs.
find_program(ORVANTA_MINGW_CXX NAMES ${ORVANTA_MINGW_PREFIX}-g++-posix REQUIRED)
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
