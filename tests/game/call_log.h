// call_log.h -- the player-turn tests see every call the turn makes into the other
// subsystems, in order, as "move_monsters", "step", "sound heal.wav", "title",
// "level 2" and "prompt next level...". The calls still reach the real code.
#pragma once

#include <string>
#include <vector>

extern std::vector<std::string> calls;
