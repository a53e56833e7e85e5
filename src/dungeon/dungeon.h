// dungeon.h -- the level generator.
#pragma once

#include <cstdint>

// Rebuilds the whole level in place: terrain, items, the monster table and the player's
// start cell. Places monster_count monsters (at most 25) and one potion. Draws nothing.
// Called by start_new_game and by run_game on each level change.
void generate_level(std::uint8_t monster_count);
