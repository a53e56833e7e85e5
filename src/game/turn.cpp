// turn.cpp -- the player's turn: one key press is one action, then the level changes or
// the monsters move. Every change is drawn the moment it happens.
#include <libtcod.h>

#include "display/display.h"
#include "dungeon/dungeon.h"
#include "game/game.h"
#include "game/game_state.h"
#include "monsters/monsters.h"
#include "platform/platform.h"
#include "sound/sound.h"

namespace {

constexpr int GLYPH_TRAIL = 160;  // flashed on the cell the player leaves
constexpr std::uint32_t CRUSH_PAUSE_MS = 750;
constexpr std::uint32_t HEAL_PAUSE_MS = 1000;

// What one key press has done so far; set afresh for every key press.
struct Turn {
    std::uint8_t start_x, start_y;  // where the player stood; a blocked step goes back here
    bool rock_blocked;              // walked into a rock while carrying one
    bool rock_taken;                // picked up a rock on this turn
    bool monster_squashed;          // crushed a monster on this turn
    bool turn_spent;                // counts although the player ends on the start cell
    bool monsters_move_twice;       // a step made carrying a rock from an earlier turn
};

enum TurnEnd { TURN_DONE, TURN_LEVEL_CLEARED, TURN_GAME_OVER };

// The four moves, tested in this order, each at most once per key press.
struct Move {
    char letter;           // lower-case only
    TCOD_keycode_t arrow;  // the arrow key that does the same
    int dx, dy;
};
constexpr Move MOVES[] = {
    {'w', TCODK_UP, 0, -1},
    {'s', TCODK_DOWN, 0, 1},
    {'a', TCODK_LEFT, -1, 0},
    {'d', TCODK_RIGHT, 1, 0},
};

// The footstep sounds as soon as the position changes, before the target cell is
// looked at, so a step that turns out blocked is still heard.
void move_player(TCOD_keycode_t vk, char c) {
    for (const Move& move : MOVES) {
        if (c != move.letter && vk != move.arrow) continue;
        if (!on_map(game.player_x + move.dx, game.player_y + move.dy)) continue;
        game.player_x = static_cast<std::uint8_t>(game.player_x + move.dx);
        game.player_y = static_cast<std::uint8_t>(game.player_y + move.dy);
        play_step_sound();
    }
}

// The answer is the first key pressed after the question. The poll consumes releases
// without reporting them, so q's own release is never taken for the answer, and a key
// typed before the question showed is still in the queue. No key once the window closes.
TCOD_key_t wait_for_answer() {
    for (;;) {
        TCOD_key_t key = poll_key_press();
        if (key.vk != TCODK_NONE || TCOD_console_is_window_closed()) return key;
        pause_game(IDLE_PAUSE_MS);
    }
}

// Returns true when the game ends here: the answer was a plain y (Shift or Caps Lock
// make it a Y, which declines), or the window closed while asking.
bool ask_to_give_up() {
    show_message("give up?");
    TCOD_key_t answer = wait_for_answer();
    if (TCOD_console_is_window_closed()) return true;
    if (typed_character(answer) == 'y') {
        show_title_screen();
        return true;
    }
    show_message("nevermind");
    return false;
}

void drink_potion(Turn& turn) {
    if (game.potions == 0) {
        show_message("no potion!");
        return;
    }
    game.potions--;
    if (game.hit_points >= MAX_HIT_POINTS) {
        draw_status_line();
        show_message("no effect!");
        turn.turn_spent = true;
        return;
    }
    game.hit_points++;
    draw_status_line();
    show_message("healed!");
    put_glyph(game.player_x, game.player_y, GLYPH_BLOCK, TCOD_white);
    play_sound("heal.wav");
    pause_game(HEAL_PAUSE_MS);
    draw_player();
    turn.turn_spent = true;
}

void take_rock(Turn& turn) {
    std::uint8_t& terrain = terrain_at(game.player_x, game.player_y);
    if (terrain != TERRAIN_ROCK) return;
    if (game.rock_carried) {
        show_message("blocked.");
        turn.rock_blocked = true;
        return;
    }
    terrain = TERRAIN_FLOOR;
    game.rock_carried = 1;
    draw_status_line();
    draw_player();
    show_message("got rock");
    turn.rock_taken = true;
    play_sound("getrock.wav");
}

// Returns true when the step must be undone: a monster stood there, or a rock did while
// one was carried. The crushing rock stays on the monster's cell.
bool meet_monster(Turn& turn) {
    int slot = monster_at(game.player_x, game.player_y);
    if (slot < 0) return turn.rock_blocked;
    if (!game.rock_carried) {
        show_message("blocked.");
        return true;
    }
    terrain_at(game.player_x, game.player_y) = TERRAIN_ROCK;
    draw_cell(game.player_x, game.player_y);
    game.rock_carried--;
    play_sound("squash.wav");
    show_message("squashed!");
    monsters[slot].state = 0;
    draw_status_line();
    turn.turn_spent = true;
    turn.monster_squashed = true;
    pause_game(CRUSH_PAUSE_MS);
    return true;
}

// The staircase, or the last monster crushed. A window closed at the prompt ends the game;
// a level drawn first would keep it open for as long as the drawing takes.
void go_down() {
    draw_cell(game.player_x, game.player_y);
    play_sound("escape.wav");
    wait_for_space("next level...");
    if (TCOD_console_is_window_closed()) return;
    game.dungeon_level++;
    enter_level();
}

// The potions still lying on the level are collected on the way down.
void collect_potions() {
    for (std::uint8_t item : map_grid.items) game.potions += item != 0;
}

void finish_step(Turn& turn) {
    TCOD_color_t trail = (turn.start_x + turn.start_y) % 2 == 0 ? TCOD_light_grey : TCOD_grey;
    put_glyph(turn.start_x, turn.start_y, GLYPH_TRAIL, trail);
    draw_cell(turn.start_x, turn.start_y);
    draw_player();
    if (game.rock_carried && !turn.rock_taken) turn.monsters_move_twice = true;
    std::uint8_t& item = item_at(game.player_x, game.player_y);
    if (item == 0) return;
    game.potions++;
    item = 0;
    show_message("got potion!");
    play_sound("getpotion.wav");
    draw_status_line();
}

// Carries out one key press; a press that costs nothing leaves the monsters where they are.
TurnEnd play_turn(const TCOD_key_t& key) {
    Turn turn{game.player_x, game.player_y, false, false, false, false, false};
    char c = typed_character(key);
    move_player(key.vk, c);
    if (c == 'q') {
        if (ask_to_give_up()) return TURN_GAME_OVER;
    } else if (c == '1') {
        drink_potion(turn);
    }
    take_rock(turn);
    if (meet_monster(turn)) {
        game.player_x = turn.start_x;
        game.player_y = turn.start_y;
        draw_player();
        if (turn.monster_squashed && count_live_monsters() == 0) {
            collect_potions();
            go_down();
            return TURN_LEVEL_CLEARED;
        }
    }
    if (game.player_x != turn.start_x || game.player_y != turn.start_y)
        finish_step(turn);
    else if (!turn.turn_spent)
        return TURN_DONE;
    if (terrain_at(game.player_x, game.player_y) == TERRAIN_STAIRS) {
        go_down();
        return TURN_DONE;
    }
    move_monsters();
    if (game.rock_carried && turn.monsters_move_twice) move_monsters();
    return TURN_DONE;
}

}  // namespace

void run_game() {
    for (;;) {
        if (TCOD_console_is_window_closed()) return;
        if (game.hit_points == 0) {
            wait_for_space("you died!!!");
            return;
        }
        TCOD_key_t key = poll_key_press();
        if (key.vk != TCODK_NONE) {
            TurnEnd end = play_turn(key);
            if (end == TURN_GAME_OVER) return;
            if (end == TURN_LEVEL_CLEARED) continue;  // the next pass starts at once
        }
        pause_game(IDLE_PAUSE_MS);
    }
}
