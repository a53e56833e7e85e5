// soak.cpp -- random key presses through the real game loop, built with the sanitizers, the
// sounds mixed on SDL's audio thread. SOAK_SEED and SOAK_KEYS change the seed and the count.
#include "game/game.h"
#include "game/game_state.h"
#include "support/support.h"

static const char KEYS[] = "wasdwasdwasdwasd{}[]{}[]111 qqynNxE2DQ";
static long keys_left = 5000;

// Between turns the game idles a millisecond at a time: the next key is pressed there. On
// the title screen Return starts a game, where Escape and q would end the program.
static void between_turns() {
    if (pauses.back() != 1 || SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYUP))
        return;
    int pick = TCOD_random_get_int(NULL, 0, sizeof KEYS - 2);
    std::string last = calls.substr(calls.rfind(';') + 1);
    if (last == "title" || last.rfind("prompt", 0) == 0) return push_keys(pick % 3 ? "N" : " ");
    calls.clear();
    bool holds = game.hit_points <= 3 && game.rock_carried <= 1 && game.step_counter < 8;
    EXPECT_TRUE(holds) << "after key " << keys_left;
    if (!holds || keys_left-- <= 0) return push_keys("!");
    char key[2] = {KEYS[pick], 0};
    push_keys(key);
}

TEST(Soak, RandomKeysThroughTheGameLoop) {
    unsigned seed = std::getenv("SOAK_SEED") ? std::atoll(std::getenv("SOAK_SEED")) : 1;
    keys_left = std::getenv("SOAK_KEYS") ? std::atol(std::getenv("SOAK_KEYS")) : keys_left;
    std::printf("soak: SOAK_SEED=%u, %ld keys\n", seed, keys_left);
    start_test();
    seed_random(seed);
    on_pause = between_turns;
    while (!TCOD_console_is_window_closed()) {
        start_new_game();
        run_game();
    }
    // The sounds were mixed on SDL's audio thread all along.
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_PLAYING);
    EXPECT_LT(keys_left, 0);
}
