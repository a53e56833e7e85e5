// game_state.cpp -- storage for the game record, zero when the program starts.
#include "game/game_state.h"

GameState game;
MapGrid map_grid;
MonsterSlot monsters[MAX_MONSTERS];
