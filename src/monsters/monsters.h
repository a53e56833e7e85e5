// monsters.h -- the monsters' turn and the queries on the monster table.
#pragma once

#include <cstdint>

// One turn of the monsters, slot by slot: each live monster next to the player in a row
// or column hits, every other one steps toward the player. Drawn as it happens.
// Called by run_game after a turn that costs something, twice when a rock is carried.
void move_monsters();

// Index of the lowest live slot standing on (x, y), or -1.
int monster_at(std::uint8_t x, std::uint8_t y);

// Number of live slots, 0..25.
std::uint8_t count_live_monsters();
