# Toolchain file for cross-building ZORM for Windows (x86-64) with MinGW-w64
# on a Debian machine (package g++-mingw-w64-x86-64).
#
# The operand parser tables are generated at build time by zorm_lalrgen, which
# must run on the build machine. Build it natively first and hand it over:
#
#   cmake -S . -B build-host -G Ninja && cmake --build build-host --target zorm_lalrgen
#   cmake -S . -B build-mingw -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DZORM_LALRGEN_EXECUTABLE=$PWD/build-host/tools/lalrgen/zorm_lalrgen \
#         -DZORM_BUILD_TESTS=OFF
#   cmake --build build-mingw --target zorm        # build-mingw/zorm.exe
#
# When wine is installed it becomes the emulator through which CMake runs
# the Windows programs it builds (tests, and the table generator when no
# host-built one is given).
#
# The result is a self-contained zorm.exe: the C and C++ runtimes are linked
# statically, so it needs no MinGW DLLs beside it.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZORM_MINGW_TRIPLET "x86_64-w64-mingw32" CACHE STRING "Target triplet of the MinGW-w64 cross compiler")

# Debian ships two variants of each compiler; the -posix one has the complete
# C++ threading and <mutex> support of the standard library.
find_program(ZORM_MINGW_CXX NAMES ${ZORM_MINGW_TRIPLET}-g++-posix ${ZORM_MINGW_TRIPLET}-g++ REQUIRED)
find_program(ZORM_MINGW_CC NAMES ${ZORM_MINGW_TRIPLET}-gcc-posix ${ZORM_MINGW_TRIPLET}-gcc)
find_program(ZORM_MINGW_WINDRES NAMES ${ZORM_MINGW_TRIPLET}-windres)
set(CMAKE_CXX_COMPILER "${ZORM_MINGW_CXX}")
if(ZORM_MINGW_CC)
  set(CMAKE_C_COMPILER "${ZORM_MINGW_CC}")
endif()
if(ZORM_MINGW_WINDRES)
  set(CMAKE_RC_COMPILER "${ZORM_MINGW_WINDRES}")
endif()

# Headers and libraries come from the MinGW sysroot only; programs (the host
# tools) from the build machine.
set(CMAKE_FIND_ROOT_PATH "/usr/${ZORM_MINGW_TRIPLET}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(ZORM_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(ZORM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${ZORM_WINE}")
endif()
