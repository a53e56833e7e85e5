# mingw-w64.cmake -- CMake toolchain for the 64-bit Windows build on Debian's mingw-w64
# (posix threads), used for SDL2, libtcod and the game alike.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
# Debian's mingw-w64 files, and the prefix of SDL2 and libtcod built for Windows.
set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Reproducible binaries: no link time in the PE header (Windows' loader does not need it).
# The build folders are mapped out of the objects by the scripts' -ffile-prefix-map.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
# The game's zip ships SDL2.dll alone: zlib comes in as the static libz.a.
set(ZLIB_USE_STATIC_LIBS ON)
