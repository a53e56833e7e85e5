// soak.cpp -- the whole program, main included, played by random keys under the sanitizers,
// with the real flush on SDL's dummy drivers; the game's rules are checked at every pause, and
// the window is closed once the keys are read. SOAK_SEED and SOAK_KEYS change seed and count.
#include <SDL.h>
#include <libtcod.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "game/game_state.h"

// q is always answered, and the title screen gets a key that starts a game, never q or Escape.
const SDL_Keycode KEYS[][3] = {{SDLK_w}, {SDLK_a}, {SDLK_s}, {SDLK_d}, {SDLK_UP}, {SDLK_DOWN},
    {SDLK_LEFT}, {SDLK_RIGHT}, {SDLK_1}, {SDLK_SPACE}, {SDLK_SPACE}, {SDLK_q, SDLK_n},
    {SDLK_q, SDLK_y, SDLK_x}, {SDLK_RETURN}, {SDLK_2}, {SDLK_ESCAPE}};

void check(bool rule, const char* what) {
    if (rule) return;
    std::printf("soak: broken rule: %s\n", what);
    std::abort();
}

void push(Uint32 type, SDL_Keycode key) {
    SDL_Event event{type};
    event.key.keysym = {SDL_GetScancodeFromKey(key), key, 0, 0};
    SDL_PushEvent(&event);
}

// At the title's first pause all keys go in at once (SDL's queue holds 65535 events), and the
// game's own generator is seeded for the levels.
void type_all_keys() {
    unsigned seed = std::getenv("SOAK_SEED") ? std::atoi(std::getenv("SOAK_SEED")) : 1;
    long count = std::getenv("SOAK_KEYS") ? std::atol(std::getenv("SOAK_KEYS")) : 5000;
    std::printf("soak: SOAK_SEED=%u SOAK_KEYS=%ld\n", seed, count);
    TCOD_Random* seeded = TCOD_random_new_from_seed(TCOD_RNG_MT, seed);
    TCOD_random_restore(NULL, seeded);
    TCOD_random_delete(seeded);
    for (long typed = 0; typed < count && typed < 20000;)
        for (SDL_Keycode key : KEYS[TCOD_random_get_int(NULL, 0, std::size(KEYS) - 1)])
            if (key) push(SDL_KEYDOWN, key), push(SDL_KEYUP, key), typed++;
}

bool keys_typed = false;

extern "C" void __real__Z10pause_gamej(std::uint32_t milliseconds);

// Every pause shows the frame and reads the events without waiting.
extern "C" void __wrap__Z10pause_gamej(std::uint32_t) {
    if (!keys_typed) type_all_keys(), keys_typed = true;
    check(on_map(game.player_x, game.player_y), "the player is on the map");
    check(game.hit_points <= MAX_HIT_POINTS && game.rock_carried <= 1, "hit points, rock");
    check(game.step_counter < 8, "the footstep cycle");
    for (const MonsterSlot& monster : monsters)
        check(monster.state == 0 || on_map(monster.x, monster.y), "live monsters on the map");
    if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYUP) == 0) push(SDL_QUIT, 0);
    __real__Z10pause_gamej(0);
}
