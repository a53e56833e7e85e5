// call_log.h -- the player-turn tests see every call the turn makes into the other
// subsystems, in order, as "move_monsters", "step", "sound heal.wav", "title",
// "level 2" and "prompt next level...". The calls still reach the real code.
#pragma once

#include <libtcod.h>

#include <string>
#include <vector>

extern std::vector<std::string> calls;

// Each cell the turn redraws, with what the screen showed there just before.
struct Redraw {
    int x, y;
    int glyph_before;
    TCOD_color_t colour_before;
};
extern std::vector<Redraw> redraws;
