// scripted_random.h -- the level tests decide every random draw the generator makes.
// While a script is set, each draw takes its next value and records its bounds; with
// no script left, draws come from libtcod's own default generator.
#pragma once

#include <utility>
#include <vector>

extern std::vector<int> scripted_draws;
extern std::vector<std::pair<int, int>> draw_bounds;

// Starts a new script: these draws come next, and the recorded bounds start afresh.
void set_script(std::vector<int> draws);

// Puts libtcod's default generator into the state a fresh generator with seed has.
void seed_default_generator(unsigned seed);
