// new_game.cpp -- the reset that starts every game on level 1.
#include <libtcod.h>

#include "display/display.h"
#include "dungeon/dungeon.h"
#include "game/game.h"
#include "game/game_state.h"

void start_new_game() {
    TCOD_console_clear(NULL);
    game.dungeon_level = 1;
    game.hit_points = MAX_HIT_POINTS;
    game.rock_carried = 0;
    game.potions = 0;
    generate_level(1);
    TCOD_console_clear(NULL);
    draw_status_line();
    draw_level();
    game.step_counter = 0;
}
