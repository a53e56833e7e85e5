// web_bench.cpp -- how fast the web page shows a level and answers a key: the desktop
// benchmark's level and turn of 25 monsters, measured inside the page's own WebAssembly, in
// whatever browser opens bench.html. Prints "= name value" lines to the browser's console.
#include <SDL.h>

#include "../measure.h"
#include "platform/platform.h"

// The turn is timed up to the game's idle sleep; the sleep itself is libtcod's, linked into
// the page with the game.
extern "C" void __real_TCOD_sys_sleep_milli(uint32_t milliseconds);
extern "C" void __wrap_TCOD_sys_sleep_milli(uint32_t milliseconds) {
    note_idle_sleep(milliseconds);
    __real_TCOD_sys_sleep_milli(milliseconds);
}

int main() {
    if (!enter_data_folder() || SDL_Init(SDL_INIT_AUDIO) < 0 || !open_window()) return 1;
    settle_window();
    int width = 0, height = 0;
    print_window_figures(width, height);
    return print_level_and_turn_figures() ? 0 : 1;
}
