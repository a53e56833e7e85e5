// level_time.cpp -- how long a key at the title takes to show level 1, on the system and in
// the display it runs in: the one figure compared between the Linux build and the Windows
// build under Wine (bench/wine-vs-linux.sh). Prints "= name value" lines.
#include <SDL.h>
#include <libtcod.h>

#include <algorithm>
#include <cstdio>

#include "display/display.h"
#include "game/game.h"
#include "platform/platform.h"

namespace {

constexpr int RUNS = 15;
constexpr int SETTLE_POLLS = 50;  // the window's first events, before anything is timed

double now_ms() {
    return SDL_GetPerformanceCounter() * 1000.0 / SDL_GetPerformanceFrequency();
}

void push_key(SDL_Keycode key) {
    SDL_Event event{};
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    SDL_PushEvent(&event);
    event.type = SDL_KEYUP;
    event.key.state = SDL_RELEASED;
    SDL_PushEvent(&event);
}

double last_present_end_ms = 0;

}  // namespace

// The player sees the level when libtcod's present of it has returned.
extern "C" TCOD_Error __real_TCOD_console_flush_ex(TCOD_Console*, TCOD_ViewportOptions*);
extern "C" TCOD_Error __wrap_TCOD_console_flush_ex(TCOD_Console* console,
                                                   TCOD_ViewportOptions* viewport) {
    TCOD_Error result = __real_TCOD_console_flush_ex(console, viewport);
    last_present_end_ms = now_ms();
    return result;
}

int main(int, char**) {
    if (!enter_data_folder() || SDL_Init(SDL_INIT_AUDIO) < 0 || !open_window()) return 1;
    for (int i = 0; i < SETTLE_POLLS; i++, SDL_Delay(2)) poll_key_press();
    pause_game(1);
    // As the game plays it: the title reads the key, level 1 is built and drawn, and
    // run_game's first idle pause presents it.
    double samples[RUNS];
    for (double& sample : samples) {
        push_key(SDLK_x);
        double start = now_ms();
        show_title_screen();
        start_new_game();
        pause_game(1);
        sample = last_present_end_ms - start;
    }
    std::sort(samples, samples + RUNS);
    int width = 0, height = 0;
    SDL_GetWindowSize(TCOD_sys_get_sdl_window(), &width, &height);
    SDL_RendererInfo renderer{};
    SDL_GetRendererInfo(SDL_GetRenderer(TCOD_sys_get_sdl_window()), &renderer);
    std::printf("= window %dx%d\n= drawing %s/%s\n= level_ms %.1f (%.1f to %.1f)\n", width,
                height, SDL_GetCurrentVideoDriver(), renderer.name ? renderer.name : "none",
                samples[RUNS / 2], samples[0], samples[RUNS - 1]);
    SDL_Quit();
    return 0;
}
