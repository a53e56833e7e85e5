// soak.cpp -- the whole program, main included, played by random keys under the sanitizers:
// the real flush on SDL's dummy driver, the title screen, the prompts, giving up and new
// games after death. The game's rules are checked at every pause, so after every key; when
// the keys run out the window is closed. SOAK_SEED and SOAK_KEYS change the seed and count.
#include <SDL.h>
#include <libtcod.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "game/game_state.h"
#include "sound/sound_cache.h"

// A give-up is always answered, and the title screen it leads to gets a key that starts a
// game, never q or Escape, which would end the program.
const std::vector<SDL_Keycode> KEYS[] = {
    {SDLK_w}, {SDLK_a}, {SDLK_s}, {SDLK_d}, {SDLK_UP}, {SDLK_DOWN}, {SDLK_LEFT}, {SDLK_RIGHT},
    {SDLK_1}, {SDLK_SPACE}, {SDLK_SPACE}, {SDLK_q, SDLK_n}, {SDLK_q, SDLK_y, SDLK_x},
    {SDLK_RETURN}, {SDLK_2}, {SDLK_ESCAPE}};

void check(bool rule, const char* what) {
    if (rule) return;
    std::printf("soak: broken rule: %s\n", what);
    std::abort();
}

// At most one staircase: crushing a monster on it leaves a rock there.
void check_rules() {
    check(on_map(game.player_x, game.player_y), "the player is on the map");
    check(game.hit_points <= MAX_HIT_POINTS && game.rock_carried <= 1, "hit points, rock");
    check(game.step_counter < 8, "the footstep cycle");
    int stairs = 0;
    for (std::uint8_t terrain : map_grid.terrain) stairs += terrain == TERRAIN_STAIRS;
    check(stairs <= 1, "at most one staircase");
    for (const MonsterSlot& monster : monsters)
        check(monster.state == 0 || on_map(monster.x, monster.y), "live monsters on the map");
    SDL_LockAudio();
    bool inside = sound_cache.play_remaining == 0;
    for (const SoundClip* clip = sound_cache.head; clip; clip = clip->next)
        inside |= sound_cache.play_position >= clip->data &&
                  sound_cache.play_position + sound_cache.play_remaining == clip->data + clip->length;
    SDL_UnlockAudio();
    check(inside, "the sound cursor inside its clip");
}

void push(Uint32 type, SDL_Keycode key) {
    SDL_Event event{type};
    event.key.keysym = {SDL_GetScancodeFromKey(key), key, 0, 0};
    SDL_PushEvent(&event);
}

bool keys_typed = false;

// The first pause is the title screen's: the keys go in then, all at once (SDL's queue
// holds 65535 events), and the game's own generator is seeded for the levels.
void type_all_keys() {
    unsigned seed = std::getenv("SOAK_SEED") ? std::atoi(std::getenv("SOAK_SEED")) : 1;
    long count = std::getenv("SOAK_KEYS") ? std::atol(std::getenv("SOAK_KEYS")) : 5000;
    std::printf("soak: SOAK_SEED=%u SOAK_KEYS=%ld\n", seed, count);
    TCOD_Random* random = TCOD_random_new_from_seed(TCOD_RNG_MT, seed);
    for (long typed = 0; typed < count && typed < 20000;) {
        for (SDL_Keycode key : KEYS[TCOD_random_get_int(random, 0, std::size(KEYS) - 1)]) {
            push(SDL_KEYDOWN, key);
            push(SDL_KEYUP, key);
            typed++;
        }
    }
    TCOD_random_restore(NULL, random);
    TCOD_random_delete(random);
    keys_typed = true;
}

extern "C" void __real__Z10pause_gamej(std::uint32_t milliseconds);

// Every pause is played as a pause of nothing: the frame is shown and the events read, but
// the soak does not wait. Once the keys are read, the window is closed.
extern "C" void __wrap__Z10pause_gamej(std::uint32_t) {
    if (!keys_typed) type_all_keys();
    check_rules();
    if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYUP) == 0) push(SDL_QUIT, 0);
    __real__Z10pause_gamej(0);
}
