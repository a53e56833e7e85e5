// turn.cpp -- the player's turn. For now the game only waits for the window to close.
#include <libtcod.h>

#include "game/game.h"

void run_game() {
    while (!TCOD_console_is_window_closed()) {
        TCOD_console_check_for_keypress(TCOD_KEY_PRESSED);
        TCOD_sys_sleep_milli(1);
    }
}
