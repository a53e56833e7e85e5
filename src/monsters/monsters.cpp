// monsters.cpp -- the monsters' turn and the monster-table queries. For now they stand still.
#include "monsters/monsters.h"

#include "game/game_state.h"

void move_monsters() {}

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
