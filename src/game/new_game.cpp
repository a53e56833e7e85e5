// new_game.cpp -- the reset that starts every game on level 1, and the start of every level.
#include <libtcod.h>

#include "display/display.h"
#include "dungeon/dungeon.h"
#include "game/game.h"
#include "game/game_state.h"

void enter_level() {
    generate_level(game.dungeon_level);
    TCOD_console_clear(NULL);
    draw_status_line();
    draw_level();
    game.step_counter = 0;
}

void start_new_game() {
    game.dungeon_level = 1;
    game.hit_points = MAX_HIT_POINTS;
    game.rock_carried = 0;
    game.potions = 0;
    enter_level();
}
