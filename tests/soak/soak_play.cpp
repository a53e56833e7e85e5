// soak_play.cpp -- plays the real game loop with a long run of random key presses, the
// pauses skipped, and checks after every turn what must always hold for the game.
// Built with the sanitizers (see tests/CMakeLists.txt); SOAK_KEYS and SOAK_SEED set the
// number of key presses and the seed of both the keys and libtcod's generator.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "display/display.h"
#include "game/game.h"
#include "game/game_state.h"
#include "monsters/monsters.h"
#include "sound/sound.h"
#include "sound/sound_cache.h"
#include "support/console.h"

namespace {

struct SoakKey {
    SDL_Keycode key;
    Uint16 modifiers;
    int weight;
};

// What a restless player presses during a game: mostly moves, sometimes anything else.
// q asks to give up; its two answers are typed by the answer thread below.
constexpr SoakKey GAME_KEYS[] = {
    {SDLK_w, KMOD_NONE, 12},     {SDLK_a, KMOD_NONE, 12},     {SDLK_s, KMOD_NONE, 12},
    {SDLK_d, KMOD_NONE, 12},     {SDLK_UP, KMOD_NONE, 5},     {SDLK_DOWN, KMOD_NONE, 5},
    {SDLK_LEFT, KMOD_NONE, 5},   {SDLK_RIGHT, KMOD_NONE, 5},  {SDLK_1, KMOD_NONE, 5},
    {SDLK_q, KMOD_NONE, 2},      {SDLK_SPACE, KMOD_NONE, 6},  {SDLK_x, KMOD_NONE, 2},
    {SDLK_RETURN, KMOD_NONE, 2}, {SDLK_ESCAPE, KMOD_NONE, 2}, {SDLK_y, KMOD_NONE, 1},
    {SDLK_2, KMOD_NONE, 1},      {SDLK_F1, KMOD_NONE, 1},     {SDLK_w, KMOD_SHIFT, 1},
    {SDLK_d, KMOD_SHIFT, 1},     {SDLK_q, KMOD_SHIFT, 1},
};

// Keys that may reach the title screen, where Escape and q would end the process.
constexpr SDL_Keycode SAFE_KEYS[] = {SDLK_RETURN, SDLK_x, SDLK_SPACE, SDLK_d, SDLK_UP, SDLK_1,
                                     SDLK_n};

std::mt19937 random_keys;
std::discrete_distribution<int> game_key_choice;

long key_target = 0;
long keys_sent = 0;
long turns_checked = 0;
long games_played = 0;
std::string first_failure;
std::string last_key;

bool in_title = false;
bool in_prompt = false;
long levels_generated = 0;
std::atomic<long> progress{0};

// The table as it stood when the turn's key was pressed.
struct Snapshot {
    long level_count;
    MonsterSlot slots[MAX_MONSTERS];
};
Snapshot before_turn;

// The give-up question waits in TCOD_console_wait_for_keypress, which empties SDL's queue
// first: its answer is typed from another thread once the wait has begun, and again if
// the first one was emptied away.
std::mutex answer_mutex;
std::condition_variable answer_changed;
long answer_round = 0;  // one round per wait; 0 while none waits
bool answer_thread_stop = false;
SDL_Keycode answer_key = SDLK_x;

SDL_Keycode safe_key() { return SAFE_KEYS[random_keys() % std::size(SAFE_KEYS)]; }

void answer_questions() {
    std::unique_lock<std::mutex> lock(answer_mutex);
    for (;;) {
        answer_changed.wait(lock, [] { return answer_round != 0 || answer_thread_stop; });
        if (answer_thread_stop) return;
        long round = answer_round;
        SDL_Keycode key = answer_key;
        while (answer_round == round && !answer_thread_stop) {
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            push_key(key);
            lock.lock();
            answer_changed.wait_for(lock, std::chrono::milliseconds(50),
                                    [round] { return answer_round != round || answer_thread_stop; });
        }
    }
}

bool key_waiting() {
    SDL_PumpEvents();
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYUP) > 0;
}

void fail(const std::string& what) {
    if (!first_failure.empty()) return;
    first_failure = what + " (after key " + std::to_string(keys_sent) + ", " + last_key +
                    ", level " + std::to_string(game.dungeon_level) + ")\n";
    for (int row = 0; row < 25; row++) first_failure += console_row(row) + "\n";
}

std::string cell_name(int x, int y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

struct Glyph {
    int code;
    TCOD_color_t colour;
};

// What a map cell must show with nobody on it.
Glyph ground_glyph(int x, int y) {
    if (item_at(x, y)) return {'!', TCOD_cyan};
    std::uint8_t terrain = terrain_at(x, y);
    if (terrain == TERRAIN_STAIRS) return {'>', TCOD_yellow};
    if (terrain == TERRAIN_ROCK) return {'*', TCOD_orange};
    if (terrain == TERRAIN_FLOOR) return {219, (x + y) % 2 == 0 ? TCOD_grey : TCOD_dark_grey};
    return {terrain, TCOD_orange};
}

void check_map_on_screen() {
    for (int x = 0; x < MAP_WIDTH; x++) {
        for (int y = 0; y < MAP_HEIGHT; y++) {
            bool player_here = x == game.player_x && y == game.player_y;
            if (player_here && game.hit_points == 0) continue;  // the fatal hit's red flash
            Glyph want = ground_glyph(x, y);
            int slot = monster_at(x, y);
            if (slot >= 0) want = {monsters[slot].glyph, TCOD_green};
            if (player_here) want = {game.rock_carried ? '*' : '@', TCOD_white};
            if (TCOD_console_get_char(NULL, x, y) != want.code ||
                !same_colour(foreground_at(x, y), want.colour) ||
                !same_colour(background_at(x, y), TCOD_black)) {
                fail("the screen at " + cell_name(x, y) + " shows glyph " +
                     std::to_string(TCOD_console_get_char(NULL, x, y)) + ", not " +
                     std::to_string(want.code));
                return;
            }
        }
    }
}

void check_status_line() {
    for (int column = 0; column < MAX_HIT_POINTS; column++) {
        TCOD_color_t want = column < game.hit_points ? TCOD_red : TCOD_grey;
        if (TCOD_console_get_char(NULL, column, 24) != 3 || !same_colour(foreground_at(column, 24), want))
            fail("heart " + std::to_string(column) + " does not show " +
                 std::to_string(game.hit_points) + " hit points");
    }
    char text[32];
    std::snprintf(text, sizeof text, " pots:%d dlvl:%d", game.potions, game.dungeon_level);
    std::string shown = console_text(3, 24, static_cast<int>(std::strlen(text)));
    if (shown != text) fail("the status line reads '" + shown + "', the game has '" + text + "'");
}

void check_monsters() {
    bool same_level = before_turn.level_count == levels_generated;
    for (int slot = 0; slot < MAX_MONSTERS; slot++) {
        const MonsterSlot& now = monsters[slot];
        if (!now.state) continue;
        if (now.x >= MAP_WIDTH || now.y >= MAP_HEIGHT) fail("monster " + std::to_string(slot) + " is off the map");
        if (now.x == game.player_x && now.y == game.player_y)
            fail("monster " + std::to_string(slot) + " stands on the player");
        const MonsterSlot& then = before_turn.slots[slot];
        if (!same_level || !then.state || (then.x == now.x && then.y == now.y)) continue;
        if (terrain_at(now.x, now.y) != TERRAIN_FLOOR)
            fail("monster " + std::to_string(slot) + " moved onto '" +
                 std::string(1, static_cast<char>(terrain_at(now.x, now.y))) + "' at " +
                 cell_name(now.x, now.y));
        if (std::abs(now.x - then.x) + std::abs(now.y - then.y) > 2)
            fail("monster " + std::to_string(slot) + " moved more than two cells in a turn");
    }
    if (count_live_monsters() > std::min<int>(game.dungeon_level, MAX_MONSTERS))
        fail("more monsters live than the level placed");
}

void check_turn() {
    turns_checked++;
    if (game.player_x >= MAP_WIDTH || game.player_y >= MAP_HEIGHT) {
        fail("the player is off the map at " + cell_name(game.player_x, game.player_y));
        return;
    }
    if (game.hit_points > MAX_HIT_POINTS) fail("hit points " + std::to_string(game.hit_points));
    if (game.rock_carried > 1) fail("rock_carried " + std::to_string(game.rock_carried));
    if (game.step_counter > 7) fail("step_counter " + std::to_string(game.step_counter));
    if (game.dungeon_level < 1) fail("dungeon level 0");
    int stairs = 0;
    for (std::uint8_t terrain : map_grid.terrain) stairs += terrain == TERRAIN_STAIRS;
    if (stairs > 1) fail(std::to_string(stairs) + " staircases on the map");
    check_monsters();
    check_status_line();
    check_map_on_screen();
}

std::string key_name(SDL_Keycode key, Uint16 modifiers) {
    return std::string(modifiers ? "shift+" : "") + SDL_GetKeyName(key);
}

void press_next_key() {
    const SoakKey& pick = GAME_KEYS[game_key_choice(random_keys)];
    before_turn.level_count = levels_generated;
    std::memcpy(before_turn.slots, monsters, sizeof monsters);
    last_key = key_name(pick.key, pick.modifiers);
    keys_sent++;
    push_key(pick.key, pick.modifiers);
}

// Runs on every pause the game asks for. Between turns run_game idles 1 ms at a time with
// nothing left to read: that is where a turn is checked and the next key pressed.
void between_pauses() {
    unsigned pause = pauses.back();
    if (pauses.size() > 4096) pauses.clear();
    progress++;
    if (in_title) {
        if (!key_waiting()) push_key(safe_key());
        return;
    }
    if (pause != 1 || key_waiting()) return;
    if (in_prompt) {
        push_key(random_keys() % 3 == 0 ? SDLK_SPACE : safe_key());
        return;
    }
    if (keys_sent > 0) check_turn();
    if (keys_sent >= key_target || !first_failure.empty()) {
        push_quit();
        return;
    }
    press_next_key();
}

long from_environment(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value ? std::strtol(value, nullptr, 10) : fallback;
}

void watch_for_a_hang() {
    long seen = -1;
    int still = 0;
    while (true) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        long now = progress.load();
        still = now == seen ? still + 1 : 0;
        seen = now;
        if (still == 60) {
            std::fprintf(stderr, "soak: no progress for 60 s after key %ld (%s)\n", keys_sent,
                         last_key.c_str());
            std::abort();
        }
    }
}

// True when SDL's audio thread is mixing: a clip just started has been run down a little.
bool audio_thread_mixes() {
    play_sound("heal.wav");
    const SoundClip* clip = find_clip("heal.wav");
    if (!clip) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    SDL_LockAudio();
    bool mixed = sound_cache.play_remaining < clip->length;
    SDL_UnlockAudio();
    return mixed;
}

}  // namespace

extern "C" {
void __real__Z17show_title_screenv();
void __real__Z14wait_for_spacePKc(const char* text);
void __real__Z14generate_levelh(std::uint8_t monster_count);
TCOD_key_t __real_TCOD_console_wait_for_keypress(bool flush);
void __real__Z13flush_consolev();

void __wrap__Z17show_title_screenv() {
    in_title = true;
    __real__Z17show_title_screenv();
    in_title = false;
}

void __wrap__Z14wait_for_spacePKc(const char* text) {
    in_prompt = true;
    __real__Z14wait_for_spacePKc(text);
    in_prompt = false;
}

void __wrap__Z14generate_levelh(std::uint8_t monster_count) {
    levels_generated++;
    __real__Z14generate_levelh(monster_count);
}

// Either answer may be y; the first is thrown away by the question, the second gives up.
TCOD_key_t __wrap_TCOD_console_wait_for_keypress(bool flush) {
    static long rounds = 0;
    {
        std::lock_guard<std::mutex> lock(answer_mutex);
        answer_key = random_keys() % 3 == 0 ? SDLK_y : safe_key();
        answer_round = ++rounds;
    }
    answer_changed.notify_all();
    TCOD_key_t key = __real_TCOD_console_wait_for_keypress(flush);
    {
        std::lock_guard<std::mutex> lock(answer_mutex);
        answer_round = 0;
    }
    answer_changed.notify_all();
    return key;
}

// A flush draws the whole window; one in 64 is drawn, which keeps the renderer in play
// without spending the soak's time on it. Nothing the game does depends on a flush.
void __wrap__Z13flush_consolev() {
    static unsigned flushes = 0;
    if (flushes++ % 64 == 0) __real__Z13flush_consolev();
}
}

TEST(Soak, RandomKeysKeepEveryRuleOfTheGame) {
    key_target = from_environment("SOAK_KEYS", 100000);
    unsigned seed = static_cast<unsigned>(from_environment("SOAK_SEED", std::random_device{}()));
    std::printf("soak: %ld keys, SOAK_SEED=%u\n", key_target, seed);
    random_keys.seed(seed);
    std::vector<double> weights;
    for (const SoakKey& key : GAME_KEYS) weights.push_back(key.weight);
    game_key_choice = std::discrete_distribution<int>(weights.begin(), weights.end());
    TCOD_Random* seeded = TCOD_random_new_from_seed(TCOD_RNG_MT, seed);
    TCOD_random_restore(NULL, seeded);
    TCOD_random_delete(seeded);

    std::thread answers(answer_questions);
    std::thread(watch_for_a_hang).detach();
    open_test_console();
    on_pause = between_pauses;
    show_title_screen();
    while (!TCOD_console_is_window_closed()) {
        games_played++;
        start_new_game();
        run_game();
    }
    on_pause = nullptr;
    {
        std::lock_guard<std::mutex> lock(answer_mutex);
        answer_thread_stop = true;
    }
    answer_changed.notify_all();
    answers.join();
    bool mixing = audio_thread_mixes();
    SDL_Quit();

    std::printf("soak: %ld keys, %ld turns checked, %ld games, %ld levels\n", keys_sent,
                turns_checked, games_played, levels_generated);
    ASSERT_EQ(first_failure, "") << "SOAK_SEED=" << seed;
    EXPECT_EQ(keys_sent, key_target);
    EXPECT_GT(games_played, 1);
    EXPECT_TRUE(mixing) << "the audio callback never ran: the sounds were not played";
}
