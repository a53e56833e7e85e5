// generate.cpp -- builds a level: loose rocks, the start and the staircase at opposite
// edges, the monsters at a distance from the player, and one potion.
#include "dungeon/dungeon.h"

#include <libtcod.h>

#include <cstdlib>

#include "game/game_state.h"

namespace {

constexpr int ROCK_DRAW_BOUND = 7;    // a cell is a rock when a draw in 0..7 gives 1
constexpr int MONSTER_DISTANCE = 10;  // least distance, in columns and in rows, from the start
constexpr std::uint8_t MONSTER_LIVE = 2;
constexpr std::uint8_t MONSTER_GLYPH = 1;  // the smiling face
constexpr int POTION_LEFT = 5, POTION_SPAN_X = 29;  // potion columns 5..34
constexpr int POTION_TOP = 5, POTION_SPAN_Y = 13;   // potion rows 5..18

// Every random number of the game is a draw in 0..high from libtcod's default generator.
int draw(int high) { return TCOD_random_get_int(NULL, 0, high); }

void scatter_rocks() {
    for (int x = 0; x < MAP_WIDTH; x++)
        for (int y = 0; y < MAP_HEIGHT; y++) {
            terrain_at(x, y) = TERRAIN_FLOOR;
            if (draw(ROCK_DRAW_BOUND) == 1) terrain_at(x, y) = TERRAIN_ROCK;
            item_at(x, y) = 0;
        }
}

void clear_cross(int x, int y) {
    terrain_at(x, y) = TERRAIN_FLOOR;
    terrain_at(x - 1, y) = TERRAIN_FLOOR;
    terrain_at(x + 1, y) = TERRAIN_FLOOR;
    terrain_at(x, y - 1) = TERRAIN_FLOOR;
    terrain_at(x, y + 1) = TERRAIN_FLOOR;
}

// The start lies two cells in from one edge; the staircase one cell in from the bottom
// or right edge, but three in from the top or left.
void place_start_and_stairs() {
    bool vertical = draw(1) == 1;
    int span = vertical ? MAP_WIDTH - 3 : MAP_HEIGHT - 3;
    int a = draw(span) + 1;
    int b = draw(span) + 1;
    bool near_side = draw(1) == 1;
    int start_x, start_y, stairs_x, stairs_y;
    if (vertical) {
        start_x = a;
        start_y = near_side ? 2 : MAP_HEIGHT - 3;
        stairs_x = b;
        stairs_y = MAP_HEIGHT - start_y;
    } else {
        start_x = near_side ? 2 : MAP_WIDTH - 3;
        start_y = a;
        stairs_x = MAP_WIDTH - start_x;
        stairs_y = b;
    }
    clear_cross(start_x, start_y);
    clear_cross(stairs_x, stairs_y);
    terrain_at(stairs_x, stairs_y) = TERRAIN_STAIRS;
    game.player_x = static_cast<std::uint8_t>(start_x);
    game.player_y = static_cast<std::uint8_t>(start_y);
}

// Monsters ignore the terrain and each other: one may start on a rock, on the staircase
// or on another monster. Slots past the count keep their old place and glyph.
void place_monsters(std::uint8_t monster_count) {
    for (int slot = 0; slot < MAX_MONSTERS; slot++) {
        MonsterSlot& monster = monsters[slot];
        if (slot >= monster_count) {
            monster.state = 0;
            continue;
        }
        int x, y;
        do {
            x = draw(MAP_WIDTH - 1);
            y = draw(MAP_HEIGHT - 1);
        } while (std::abs(x - game.player_x) < MONSTER_DISTANCE ||
                 std::abs(y - game.player_y) < MONSTER_DISTANCE);
        monster = MonsterSlot{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                              MONSTER_LIVE, MONSTER_GLYPH};
    }
}

void drop_potion() {
    int x, y;
    do {
        x = POTION_LEFT + draw(POTION_SPAN_X);
        y = POTION_TOP + draw(POTION_SPAN_Y);
    } while (terrain_at(x, y) != TERRAIN_FLOOR);
    item_at(x, y) = 1;
}

}  // namespace

void generate_level(std::uint8_t monster_count) {
    scatter_rocks();
    place_start_and_stairs();
    place_monsters(monster_count);
    drop_potion();
}
