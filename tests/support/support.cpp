// support.cpp -- the shared test helpers and the wrappers the linker puts between the
// game and the calls the tests watch.
#include "support/support.h"

#include <SDL.h>
#include <libtcod.h>

#include <cstring>
#include <sstream>

#include <unistd.h>

#include "display/display.h"
#include "game/game_state.h"
#include "platform/platform.h"

std::string calls;
std::vector<unsigned> pauses;
std::function<void()> on_pause;
int flushes = 0;

static const std::pair<TCOD_color_t, const char*> COLOURS[] = {{TCOD_white, "white"},
    {TCOD_grey, "grey"}, {TCOD_dark_grey, "dark_grey"}, {TCOD_light_grey, "light_grey"},
    {TCOD_red, "red"}, {TCOD_green, "green"}, {TCOD_orange, "orange"}, {TCOD_yellow, "yellow"},
    {TCOD_cyan, "cyan"}};
static const std::pair<int, char> GLYPHS[] = {{1, 'M'}, {3, 'H'}, {160, '~'}, {219, '.'}};
static TCOD_Console* frame = TCOD_console_new(CONSOLE_COLUMNS, CONSOLE_ROWS);
static bool in_play = false;
static int closed_polls = 0;  // polls within play() since the window closed
struct Idle {};
// The title screen ends the program on q: within play() that is a fault, never a pass.
static const int exit_guard = std::atexit([] { if (in_play) std::_Exit(3); });

void start_test() {
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 0);  // SDL's own: Windows has no setenv
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 0);
    ASSERT_EQ(chdir(CRAGMOOR_DATA_DIR), 0);  // the game finds its files by bare name
    if (!SDL_WasInit(SDL_INIT_AUDIO)) { ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError(); }
    // libtcod keeps a closed window closed: tests that close it do so in a child process.
    ASSERT_FALSE(TCOD_console_is_window_closed());
    if (!TCOD_sys_get_sdl_window()) { ASSERT_TRUE(open_window()); }
    SDL_SetModState(KMOD_NONE);
    TCOD_console_clear(NULL);
    flush_console();
    // Keys left by a test are read, so that libtcod lets go of a Shift still held.
    while (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYUP) > 0)
        TCOD_console_check_for_keypress(TCOD_KEY_PRESSED);
    std::memset(map_grid.terrain, TERRAIN_FLOOR, sizeof map_grid.terrain);
    std::memset(map_grid.items, 0, sizeof map_grid.items);
    std::memset(monsters, 0, sizeof monsters);
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // no fork while SDL's audio thread runs
    game = GameState{10, 10, 1, 3, 0, 0, 0};
    calls.clear();
    pauses.clear();
    on_pause = nullptr;
}

std::string cell(int x, int y) {
    int glyph = TCOD_console_get_char(frame, x, y);
    TCOD_color_t colour = TCOD_console_get_char_foreground(frame, x, y);
    std::string shown(1, glyph >= 32 && glyph < 127 ? static_cast<char>(glyph) : '?');
    for (auto [code, letter] : GLYPHS) shown[0] = code == glyph ? letter : shown[0];
    for (auto [known, name] : COLOURS)
        if (TCOD_color_equals(known, colour)) shown += name;
    return shown;
}

std::string text(int x, int y, int length) {
    std::string letters;
    for (int i = 0; i < length; i++) letters += cell(x + i, y)[0];
    return letters;
}

std::string message() {
    std::string field = text(MESSAGE_COLUMN, STATUS_ROW, CONSOLE_COLUMNS - MESSAGE_COLUMN);
    return field.substr(std::min(field.find_first_not_of(' '), field.size()));
}

static void push(Uint32 type, SDL_Keycode key = 0) {
    SDL_Event event{type};
    event.key.keysym = {SDL_GetScancodeFromKey(key), key, Uint16(SDL_GetModState()), 0};
    SDL_PushEvent(&event);
}

void push_keys(const std::string& keys) {
    std::istringstream words(keys);
    for (std::string word; words >> word;) {
        if (word == "close") push(SDL_QUIT);
        if (word == "CapsLock") SDL_SetModState(KMOD_CAPS);
        if (word == "close" || word == "CapsLock") continue;
        std::string how = word.substr(0, word.find_last_of(":+") + 1);
        SDL_Keycode key = SDL_GetKeyFromName(word.substr(how.size()).c_str());
        if (how == "Shift+") push(SDL_KEYDOWN, SDLK_LSHIFT);
        if (how != "release:") push(SDL_KEYDOWN, key);
        if (how != "hold:") push(SDL_KEYUP, key);
        if (how == "Shift+") push(SDL_KEYUP, SDLK_LSHIFT);
    }
}

void play(const std::function<void()>& game_part) {
    in_play = true;
    closed_polls = 0;
    try { game_part(); } catch (Idle) {}
    in_play = false;
}

static void log_call(const std::string& call) {
    if (!call.empty()) calls += (calls.empty() ? "" : ", ") + call;
}

static std::string under_player() { return cell(game.player_x, game.player_y); }

// Each watched call is logged (an empty entry is not), then passed on to the game's function.
#define WATCH(symbol, params, args, entry) \
    void __real_##symbol params;            \
    void __wrap_##symbol params {           \
        log_call(entry);                    \
        __real_##symbol args;               \
    }

extern "C" {
WATCH(_Z10play_soundPKc, (const char* name), (name), name)
WATCH(_Z15play_step_soundv, (), (), "step " + std::to_string(game.step_counter))
WATCH(_Z13move_monstersv, (), (), "monsters")
WATCH(_Z17show_title_screenv, (), (), "title")
WATCH(_Z14generate_levelh, (std::uint8_t count), (count), "level " + std::to_string(count))
WATCH(_Z14wait_for_spacePKc, (const char* text), (text),
      "prompt " + std::string(text) + " over " + under_player())
WATCH(_Z9draw_cellii, (int x, int y), (x, y), cell(x, y)[0] == '~' ? "trail " + cell(x, y).substr(1) : "")

// The window is what the last flush showed; drawing it is the end-to-end test's part.
void __wrap__Z13flush_consolev() {
    flushes++;
    TCOD_console_blit(NULL, 0, 0, CONSOLE_COLUMNS, CONSOLE_ROWS, frame, 0, 0, 1.0f, 1.0f);
}

void __wrap__Z10pause_gamej(std::uint32_t ms) {
    pauses.push_back(ms);
    if (ms > 1) log_call("pause " + std::to_string(ms) + " on " + under_player() + ": " + message());
    if (on_pause) on_pause();
    if (!in_play || ms != 1) return;
    bool no_key = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_KEYUP) == 0;
    bool closed = TCOD_console_is_window_closed();
    // One more poll after the window closed is harmless; polling on and on is a hang.
    if (closed && ++closed_polls > 10) ADD_FAILURE() << "the game waits on with its window closed";
    if ((no_key && !closed) || closed_polls > 10) throw Idle{};
}
}
