# windows.cmake -- the Windows build's own part, included by the top-level CMakeLists.txt
# with packaging/windows/mingw-w64.cmake as toolchain: SDL2 and libtcod from the prefix
# tools/windows-libraries.sh builds, and what makes cragmoor.exe a Windows program.
# GoogleTest, cross-built with the unit tests, is C and C++: C is enabled here, at the top.
enable_language(C)
find_package(SDL2 CONFIG REQUIRED)
find_package(libtcod CONFIG REQUIRED)

# The same two names the Linux build gets from pkg-config, so the rest of the build is one.
add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
target_link_libraries(PkgConfig::SDL2 INTERFACE SDL2::SDL2)
add_library(PkgConfig::TCOD INTERFACE IMPORTED)
target_link_libraries(PkgConfig::TCOD INTERFACE libtcod::libtcod)

# Every program carries its C++, GCC and thread runtimes and zlib inside: the game's folder
# holds SDL2.dll and nothing else. SDL2 itself is linked through its import library.
add_link_options(-static)

# A folder of this source means nothing on a player's machine.
set(CRAGMOOR_SOURCE_DATA OFF CACHE BOOL "Let the game fall back on this source's data/")

file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/windows/cragmoor_version.h CONTENT
     "#define CRAGMOOR_VERSION \"${PROJECT_VERSION}\"
#define CRAGMOOR_VERSION_COMMAS ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0
")

# The game's .exe: no console window (-mwindows), SDL2main's WinMain calling the game's main,
# and the icon, version and manifest of cragmoor.rc.
function(make_windows_program target)
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src/platform/windows/cragmoor.rc)
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/windows
                             ${PROJECT_SOURCE_DIR}/src/platform/windows)
  target_link_libraries(${target} PRIVATE SDL2::SDL2main)
  target_link_options(${target} PRIVATE -mwindows)
endfunction()
