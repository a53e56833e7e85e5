// game_state.h -- the one record of the running game: the player, the map and the monsters.
// Every subsystem reads and writes these globals directly, on the game's one thread.
#pragma once

#include <cassert>
#include <cstdint>

constexpr std::uint8_t MAP_WIDTH = 40;       // columns of the map
constexpr std::uint8_t MAP_HEIGHT = 24;      // rows of the map; row 24 of the screen is the status row
constexpr std::uint8_t MAX_MONSTERS = 25;    // slots in the monster table
constexpr std::uint8_t MAX_HIT_POINTS = 3;   // hit points at a new game; a potion never heals past it
constexpr int MAP_CELLS = MAP_WIDTH * MAP_HEIGHT;

constexpr std::uint8_t TERRAIN_FLOOR = ' ';
constexpr std::uint8_t TERRAIN_ROCK = '#';
constexpr std::uint8_t TERRAIN_STAIRS = '>';

struct GameState {
    std::uint8_t player_x;       // player column 0..39
    std::uint8_t player_y;       // player row 0..23
    std::uint8_t dungeon_level;  // 1 at a new game; also the number of monsters placed
    std::uint8_t hit_points;     // 0..3; 0 means dead
    std::uint8_t rock_carried;   // 1 while a rock is carried
    std::uint8_t potions;        // potions carried
    std::uint8_t step_counter;   // place in the footstep cycle, 0..7
};

// Both layers are stored column by column: cell (x, y) is element x * MAP_HEIGHT + y.
struct MapGrid {
    std::uint8_t terrain[MAP_CELLS];  // ' ' floor, '#' loose rock, '>' staircase
    std::uint8_t items[MAP_CELLS];    // nonzero where a potion lies
};

struct MonsterSlot {
    std::uint8_t x;      // column 0..39
    std::uint8_t y;      // row 0..23
    std::uint8_t state;  // 0 empty or crushed, nonzero live
    std::uint8_t glyph;  // character drawn for the monster
};

extern GameState game;
extern MapGrid map_grid;
extern MonsterSlot monsters[MAX_MONSTERS];

inline bool on_map(int x, int y) {
    return x >= 0 && x < MAP_WIDTH && y >= 0 && y < MAP_HEIGHT;
}

inline int cell_index(int x, int y) {
    assert(on_map(x, y));
    return x * MAP_HEIGHT + y;
}

inline std::uint8_t& terrain_at(int x, int y) { return map_grid.terrain[cell_index(x, y)]; }
inline std::uint8_t& item_at(int x, int y) { return map_grid.items[cell_index(x, y)]; }
