// monsters.cpp -- the monsters' turn (hits and steps toward the player) and the
// monster-table queries.
#include "monsters/monsters.h"

#include <cstdlib>

#include <libtcod.h>

#include "display/display.h"
#include "game/game_state.h"
#include "platform/platform.h"
#include "sound/sound.h"

namespace {

constexpr std::uint32_t HIT_PAUSE_MS = 600;  // long enough to hear "ouch" and read the message

struct Step {
    int dx;
    int dy;
};

void draw_monster(const MonsterSlot& monster) {
    put_glyph(monster.x, monster.y, monster.glyph, TCOD_green);
}

int player_dx(const MonsterSlot& monster) { return game.player_x - monster.x; }
int player_dy(const MonsterSlot& monster) { return game.player_y - monster.y; }

// Only the four orthogonal neighbours (and the player's own cell) are in reach.
bool next_to_player(const MonsterSlot& monster) {
    return std::abs(player_dx(monster)) + std::abs(player_dy(monster)) <= 1;
}

// A dead player is not hit again: neither the count nor the screen changes.
void hit_player() {
    if (game.hit_points == 0) return;
    play_sound("ouch.wav");
    put_glyph(game.player_x, game.player_y, GLYPH_STAR, TCOD_red);
    game.hit_points--;
    draw_status_line();
    if (game.hit_points > 0) {
        show_message("monster hit!");
        pause_game(HIT_PAUSE_MS);
        draw_player();
    } else {
        show_message("you died!!!");
        pause_game(HIT_PAUSE_MS);
        play_sound("gameover.wav");
    }
}

bool can_step_to(int x, int y) {
    return on_map(x, y) && terrain_at(x, y) == TERRAIN_FLOOR && monster_at(x, y) == -1;
}

// draw_cell shows the map layers only, so a monster sharing the vacated cell is put back.
void take_step(MonsterSlot& monster, Step step) {
    int old_x = monster.x;
    int old_y = monster.y;
    monster.x = static_cast<std::uint8_t>(old_x + step.dx);
    monster.y = static_cast<std::uint8_t>(old_y + step.dy);
    draw_cell(old_x, old_y);
    int left_behind = monster_at(old_x, old_y);
    if (left_behind >= 0) draw_monster(monsters[left_behind]);
    draw_monster(monster);
}

bool try_step(MonsterSlot& monster, Step step) {
    if (!can_step_to(monster.x + step.dx, monster.y + step.dy)) return false;
    take_step(monster, step);
    return true;
}

// A difference of 0 heads left or up: the way round a block in the player's row or column.
int toward(int difference) { return difference > 0 ? 1 : -1; }

// The longer axis first, ties to the vertical; the other axis only when that is blocked.
void step_toward_player(MonsterSlot& monster) {
    int dx = player_dx(monster);
    int dy = player_dy(monster);
    Step along_x{toward(dx), 0};
    Step along_y{0, toward(dy)};
    bool x_first = std::abs(dx) > std::abs(dy);
    Step first = x_first ? along_x : along_y;
    Step other = x_first ? along_y : along_x;
    if (!try_step(monster, first)) try_step(monster, other);
}

}  // namespace

void move_monsters() {
    for (MonsterSlot& monster : monsters) {
        if (monster.state == 0) continue;
        if (next_to_player(monster))
            hit_player();
        else
            step_toward_player(monster);
    }
}

int monster_at(std::uint8_t x, std::uint8_t y) {
    for (int slot = 0; slot < MAX_MONSTERS; slot++)
        if (monsters[slot].state != 0 && monsters[slot].x == x && monsters[slot].y == y) return slot;
    return -1;
}

std::uint8_t count_live_monsters() {
    std::uint8_t live = 0;
    for (const MonsterSlot& slot : monsters)
        if (slot.state != 0) live++;
    return live;
}
