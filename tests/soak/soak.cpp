// soak.cpp -- random key presses through the real game loop, built with the sanitizers, the
// sounds mixed on SDL's audio thread. SOAK_SEED and SOAK_KEYS change the seed and the count.
#include <algorithm>

#include "game/game.h"
#include "support/support.h"

// Every key of a game but q: the title screen it leads to would end the program on a q or an
// Escape.
static const char KEYS[] = "wasdwasdwasdwasd{}[]{}[]111 nNxyE2DQ";

TEST(Soak, RandomKeysThroughTheGameLoop) {
    unsigned seed = std::getenv("SOAK_SEED") ? std::atoll(std::getenv("SOAK_SEED")) : 1;
    long keys = std::getenv("SOAK_KEYS") ? std::atol(std::getenv("SOAK_KEYS")) : 5000;
    keys = std::min(keys, 20000L);  // all pushed at once: SDL's queue holds 65535 events
    std::printf("soak: SOAK_SEED=%u, %ld keys\n", seed, keys);
    start_test();
    seed_random(seed);
    std::string typed;
    while (long(typed.size()) < keys) typed += KEYS[TCOD_random_get_int(NULL, 0, sizeof KEYS - 2)];
    push_keys(typed.c_str());
    while (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYUP) > 0) {
        start_new_game();
        play(run_game);
    }
    // The audio device stayed open and playing, its thread mixing the game's sounds.
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_PLAYING);
}
