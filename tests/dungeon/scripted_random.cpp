// scripted_random.cpp -- a stand-in for libtcod's TCOD_random_get_int in the level tests.
#include "scripted_random.h"

#include <dlfcn.h>
#include <libtcod.h>

std::vector<int> scripted_draws;
std::vector<std::pair<int, int>> draw_bounds;

namespace {
using Draw = int (*)(TCOD_random_t, int, int);
const Draw libtcod_draw = reinterpret_cast<Draw>(dlsym(RTLD_NEXT, "TCOD_random_get_int"));
size_t next_draw = 0;
}  // namespace

extern "C" int TCOD_random_get_int(TCOD_random_t generator, int low, int high) {
    draw_bounds.emplace_back(low, high);
    if (next_draw < scripted_draws.size()) return scripted_draws[next_draw++];
    return libtcod_draw(generator, low, high);
}

void set_script(std::vector<int> draws) {
    scripted_draws = std::move(draws);
    draw_bounds.clear();
    next_draw = 0;
}

void seed_default_generator(unsigned seed) {
    TCOD_random_t fresh = TCOD_random_new_from_seed(TCOD_RNG_MT, seed);
    TCOD_random_restore(NULL, fresh);
    TCOD_random_delete(fresh);
}
