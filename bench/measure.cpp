// measure.cpp -- what the benchmarks measure alike: keys pushed as a player types them, the
// game's flushes and libtcod's presents counted, level 1 and a turn of 25 monsters timed.
#include "measure.h"

#include <SDL.h>
#include <libtcod.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "display/display.h"
#include "dungeon/dungeon.h"
#include "game/game.h"
#include "game/game_state.h"
#include "platform/platform.h"

namespace {

constexpr int LEVEL_RUNS = 7;
constexpr int KEY_RUNS = 15;
constexpr int SETTLE_POLLS = 50;

// Counted by the linker-wrapped flush_console and TCOD_console_flush_ex (-Wl,--wrap).
struct DrawCounts {
    int flushes;
    int presents;
    double last_present_end_ms;  // when the player sees the latest picture
};
DrawCounts draw_counts = {0, 0, 0};
std::vector<double> present_durations;

// Set when a timed key is pushed; the game's next idle sleep records the turn it played.
bool turn_pending = false;
double turn_end_ms = 0;
int turn_flushes = 0;
int turn_presents = 0;

// No live monster within one row-or-column step of the cell, so none of them attacks.
bool plain_step_right(int x, int y) {
    if (x + 1 >= MAP_WIDTH || terrain_at(x, y) != TERRAIN_FLOOR) return false;
    if (terrain_at(x + 1, y) != TERRAIN_FLOOR || item_at(x + 1, y) != 0) return false;
    for (const MonsterSlot& slot : monsters)
        if (slot.state != 0 && std::abs(slot.x - x - 1) + std::abs(slot.y - y) < 2) return false;
    return true;
}

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void push_key(SDL_Keycode key) {
    SDL_Event event{};
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    SDL_PushEvent(&event);
    event.type = SDL_KEYUP;
    event.key.state = SDL_RELEASED;
    SDL_PushEvent(&event);
}

}  // namespace

// The game's flushes only mark the console changed; they are counted.
extern "C" void __real__Z13flush_consolev();
extern "C" void __wrap__Z13flush_consolev() {
    draw_counts.flushes++;
    __real__Z13flush_consolev();
}

// A present is what reaches the screen (in a page, what the browser shows once the game
// yields to it): each is counted and timed, and the end of the last one is when the player
// sees the picture.
extern "C" TCOD_Error __real_TCOD_console_flush_ex(TCOD_Console*, TCOD_ViewportOptions*);
extern "C" TCOD_Error __wrap_TCOD_console_flush_ex(TCOD_Console* console,
                                                   TCOD_ViewportOptions* viewport) {
    double start = now_ms();
    TCOD_Error result = __real_TCOD_console_flush_ex(console, viewport);
    draw_counts.last_present_end_ms = now_ms();
    present_durations.push_back(draw_counts.last_present_end_ms - start);
    draw_counts.presents++;
    return result;
}

// SDL's counter is the finest clock on Linux, Windows and in a browser alike.
double now_ms() {
    return SDL_GetPerformanceCounter() * 1000.0 / SDL_GetPerformanceFrequency();
}

void settle_window() {
    for (int i = 0; i < SETTLE_POLLS; i++, SDL_Delay(2)) poll_key_press();
    pause_game(1);
}

void print_window_figures(int& width, int& height) {
    SDL_GetWindowSize(TCOD_sys_get_sdl_window(), &width, &height);
    SDL_RendererInfo renderer{};
    SDL_GetRendererInfo(SDL_GetRenderer(TCOD_sys_get_sdl_window()), &renderer);
    std::printf("= window %dx%d\n= drawing %s/%s\n", width, height, SDL_GetCurrentVideoDriver(),
                renderer.name != NULL ? renderer.name : "none");
}

// From the key that leaves the title screen to the last present of level 1, which comes at
// run_game's first idle pause, as in the game.
double level_ms(int& flushes, int& presents) {
    push_key(SDLK_x);
    draw_counts.flushes = 0;
    draw_counts.presents = 0;
    double start = now_ms();
    show_title_screen();
    start_new_game();
    pause_game(1);
    flushes = draw_counts.flushes;
    presents = draw_counts.presents;
    return draw_counts.last_present_end_ms - start;
}

namespace {

// A step to the right on a level of 25 monsters, from the key entering SDL's queue to the
// last present before the game idles again.
bool key_ms(double& milliseconds, int& flushes, int& presents) {
    game.hit_points = MAX_HIT_POINTS;
    game.rock_carried = 0;
    generate_level(25);
    for (int cell = 0; cell < MAP_CELLS; cell++)
        if (plain_step_right(cell / MAP_HEIGHT, cell % MAP_HEIGHT)) {
            game.player_x = static_cast<std::uint8_t>(cell / MAP_HEIGHT);
            game.player_y = static_cast<std::uint8_t>(cell % MAP_HEIGHT);
            TCOD_console_clear(NULL);
            draw_status_line();
            draw_level();
            // The level is on screen before the key, as it would be in play.
            pause_game(1);
            draw_counts.flushes = 0;
            draw_counts.presents = 0;
            turn_pending = true;
            push_key(SDLK_d);
            double start = now_ms();
            run_game();
            milliseconds = turn_end_ms - start;
            flushes = turn_flushes;
            presents = turn_presents;
            return true;
        }
    return false;
}

}  // namespace

// The game's 1 ms idle sleep after a key means its turn is over and shown (the pause
// before it presented): the player then dies and the death prompt is answered, so that
// run_game returns with the window still open.
void note_idle_sleep(std::uint32_t milliseconds) {
    if (!turn_pending || milliseconds != 1) return;
    turn_pending = false;
    turn_end_ms = draw_counts.last_present_end_ms;
    turn_flushes = draw_counts.flushes;
    turn_presents = draw_counts.presents;
    game.hit_points = 0;
    push_key(SDLK_SPACE);
}

bool print_level_and_turn_figures() {
    present_durations.clear();
    std::vector<double> level, key;
    int flushes = 0, presents = 0;
    for (int run = 0; run < LEVEL_RUNS; run++) level.push_back(level_ms(flushes, presents));
    std::printf("= level_flushes %d\n= level_presents %d\n= level_ms %.3f\n", flushes, presents,
                median(level));
    for (int run = 0; run < KEY_RUNS; run++) {
        double milliseconds = 0;
        if (key_ms(milliseconds, flushes, presents)) key.push_back(milliseconds);
    }
    if (key.empty()) return false;
    std::printf("= key_flushes %d\n= key_presents %d\n= key_ms %.3f\n", flushes, presents,
                median(key));
    std::printf("= present_ms %.3f\n", median(present_durations));
    return true;
}
