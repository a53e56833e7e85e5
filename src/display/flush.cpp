// flush.cpp -- the game's flush: the root console drawn into the window and presented once.
#include <SDL.h>

#include "display/display.h"

void flush_console() {
    TCOD_sys_accumulate_console(NULL);
    SDL_RenderPresent(TCOD_sys_get_sdl_renderer());
}
