// soak.cpp -- random key presses through the real game loop, built with the sanitizers;
// after every turn the window must show what the game record holds. SOAK_SEED picks the
// seed (of the keys and of the game's draws), SOAK_KEYS the number of key presses.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>
#include <thread>

#include "display/display.h"
#include "game/game.h"
#include "game/game_state.h"
#include "monsters/monsters.h"
#include "sound/sound.h"
#include "sound/sound_cache.h"
#include "support/support.h"

namespace {

const char KEYS[] = "wasdwasdwasdwasd{}[]{}[]111 qqynNxE2DQ";
std::mt19937 pick;
long keys_left = 0;

// What the map must show: the player over a monster over the potion over the terrain.
std::string wanted(int x, int y) {
    if (x == game.player_x && y == game.player_y) return game.rock_carried ? "*white" : "@white";
    int slot = monster_at(x, y);
    if (slot >= 0) return monsters[slot].glyph == 1 ? "Mgreen" : "?";
    if (item_at(x, y)) return "!cyan";
    std::uint8_t t = terrain_at(x, y);
    return t == '#' ? "*orange" : t == '>' ? ">yellow" : (x + y) % 2 ? ".dark_grey" : ".grey";
}

void check_turn() {
    for (int x = 0; x < MAP_WIDTH; x++)
        for (int y = 0; y < MAP_HEIGHT; y++)
            if (game.hit_points > 0 || x != game.player_x || y != game.player_y)
                ASSERT_EQ(cell(x, y), wanted(x, y)) << x << "," << y << " after key " << keys_left;
    char status[32];
    std::snprintf(status, sizeof status, " pots:%d dlvl:%d", game.potions, game.dungeon_level);
    ASSERT_EQ(text(3, 24, std::strlen(status)), status);
    ASSERT_TRUE(game.hit_points <= 3 && game.rock_carried <= 1 && game.step_counter < 8);
    ASSERT_LE(count_live_monsters(), game.dungeon_level);
}

// Between turns the game idles a millisecond at a time: the turn is checked there and the
// next key pressed. On the title screen Return starts a game, Escape and q would end it.
void between_turns() {
    if (pauses.back() != 1 || SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYUP) > 0) return;
    if (calls.size() > 1000) calls.erase(calls.begin(), calls.end() - 1);
    pauses.clear();
    std::string last = calls.empty() ? "" : calls.back();
    if (last == "title" || last.rfind("prompt", 0) == 0) return push_keys(pick() % 3 ? "N" : " ");
    if (message(true) != "give up?") check_turn();
    if (testing::Test::HasFatalFailure() || keys_left-- <= 0) return push_quit();
    char key[2] = {KEYS[pick() % (sizeof KEYS - 1)], 0};
    push_keys(key);
}

}  // namespace

TEST(Soak, RandomKeysKeepTheWindowTrueToTheGame) {
    const char* seed_text = std::getenv("SOAK_SEED");
    unsigned seed = seed_text ? std::strtoul(seed_text, nullptr, 10) : 1;
    keys_left = std::getenv("SOAK_KEYS") ? std::atol(std::getenv("SOAK_KEYS")) : 5000;
    std::printf("soak: SOAK_SEED=%u, %ld keys\n", seed, keys_left);
    start_test();
    pick.seed(seed);
    seed_random(seed);
    on_pause = between_turns;
    while (!TCOD_console_is_window_closed()) {
        start_new_game();
        run_game();
    }
    // The sounds were mixed on SDL's audio thread all along.
    play_sound("heal.wav");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    SDL_LockAudio();
    EXPECT_LT(sound_cache.play_remaining, find_clip("heal.wav")->length);
    SDL_UnlockAudio();
    EXPECT_LT(keys_left, 0);
}
