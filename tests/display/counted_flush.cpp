// counted_flush.cpp -- counts the frames the drawing tests show, whether through the game's
// own flush or through libtcod's, passing every call on.
#include <SDL.h>
#include <dlfcn.h>
#include <libtcod.h>

int flush_count = 0;

namespace {
using Flush = TCOD_Error (*)();
using Present = void (*)(SDL_Renderer*);
const Flush libtcod_flush = reinterpret_cast<Flush>(dlsym(RTLD_NEXT, "TCOD_console_flush"));
const Present sdl_present = reinterpret_cast<Present>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
bool inside_libtcod_flush = false;
}  // namespace

// libtcod's flush presents its frame twice; it is still one flush.
extern "C" TCOD_Error TCOD_console_flush() {
    flush_count++;
    inside_libtcod_flush = true;
    TCOD_Error result = libtcod_flush();
    inside_libtcod_flush = false;
    return result;
}

extern "C" void SDL_RenderPresent(SDL_Renderer* renderer) {
    if (!inside_libtcod_flush) flush_count++;
    sdl_present(renderer);
}
