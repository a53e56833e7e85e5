# libraries.cmake -- SDL2 and libtcod for the web page, under the names the desktop build
# gives them: Emscripten's sdl2 port, and libtcod as tools/release-web.sh compiled it.
set(CRAGMOOR_WEB_LIBTCOD "" CACHE FILEPATH "libtcod.a compiled with Emscripten")
set(CRAGMOOR_WEB_LIBTCOD_INCLUDE "" CACHE PATH "Folder of libtcod.h of that libtcod")
if(NOT EXISTS "${CRAGMOOR_WEB_LIBTCOD}")
  message(FATAL_ERROR "no libtcod for the browser: build the web release with tools/release-web.sh")
endif()

add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
target_compile_options(PkgConfig::SDL2 INTERFACE -sUSE_SDL=2)
target_link_options(PkgConfig::SDL2 INTERFACE -sUSE_SDL=2)

add_library(PkgConfig::TCOD INTERFACE IMPORTED)
target_include_directories(PkgConfig::TCOD INTERFACE ${CRAGMOOR_WEB_LIBTCOD_INCLUDE})
target_compile_definitions(PkgConfig::TCOD INTERFACE LIBTCOD_STATIC TCOD_NO_THREADS)
target_link_libraries(PkgConfig::TCOD INTERFACE ${CRAGMOOR_WEB_LIBTCOD})
