// main.cpp -- the program's entry: audio, the window, the title screen, then one game
// after another until the window is closed.
#include <SDL.h>
#include <libtcod.h>

#include "display/display.h"
#include "game/game.h"
#include "platform/platform.h"

int main(int, char**) {
    if (!enter_data_folder()) return 1;
    if (SDL_Init(SDL_INIT_AUDIO) < 0) {
        tell_player("audio init fail");
        return 1;
    }
    if (!open_window()) {
        SDL_Quit();
        return 1;
    }
    TCOD_console_set_default_foreground(NULL, TCOD_grey);
    TCOD_console_set_default_background(NULL, TCOD_black);
    show_title_screen();
    while (!TCOD_console_is_window_closed()) {
        start_new_game();
        run_game();
    }
    SDL_Quit();
    return 0;
}
