// bench.cpp -- how fast the game shows a level and answers a key, and how much memory it
// holds, in a real X window at 640 x 400, 1280 x 800 and 1920 x 1200, against the
// physical limit: sending the one changed tile per flush and nothing else.
// Without arguments it starts itself once per size in an Xvfb whose screen makes the game
// open its window at that size, and prints a Markdown table; "--here" measures in the X
// server it was started in and prints "= name value" lines.
#include <SDL.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "display/display.h"
#include "platform/platform.h"
#include "dungeon/dungeon.h"
#include "game/game.h"
#include "game/game_state.h"

namespace {

constexpr int LEVEL_RUNS = 5;
constexpr int KEY_RUNS = 15;

struct Size {
    const char* screen;  // the Xvfb screen that makes the game open at this size
    const char* window;
};
const Size SIZES[] = {
    {"1366x768", "640x400"}, {"1920x1200", "1280x800"}, {"2560x1600", "1920x1200"}};

struct Row {
    const char* label;
    const char* figure;
    const char* format;
    const char* goal;
};
const Row ROWS[] = {
    {"Window opened at", "window", "%s", ""},
    {"Flushes in level 1 shown", "level_flushes", "%.0f", ""},
    {"Key to the last picture of level 1 (ms)", "level_ms", "%.1f", "<= 250"},
    {"Bare limit: one tile sent per flush (ms)", "level_bare_ms", "%.1f", ""},
    {"Level / bare limit", "level_ratio", "%.2f", ""},
    {"Whole window sent per flush, as before (ms)", "level_whole_ms", "%.0f", ""},
    {"Flushes in a turn of 25 monsters", "key_flushes", "%.0f", ""},
    {"Key to the last picture of the turn (ms)", "key_ms", "%.2f", "<= 16.7"},
    {"Bare limit for the turn's flushes (ms)", "key_bare_ms", "%.2f", ""},
    {"Peak resident memory of a whole game (MiB)", "peak_rss_mib", "%.1f", "<= 30"},
};

double now_ms() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
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

// Every flush of the game is counted and timed; it can send the whole window instead.
int flush_count = 0;
double last_flush_end_ms = 0;
bool whole_window_flushes = false;
extern "C" void __real__Z13flush_consolev();
extern "C" void __wrap__Z13flush_consolev() {
    flush_count++;
    if (whole_window_flushes)
        redraw_window();
    else
        __real__Z13flush_consolev();
    last_flush_end_ms = now_ms();
}

// The game's 1 ms idle sleep after a key means its turn is over: the player then dies and
// the death prompt is answered, so that run_game returns with the window still open.
bool turn_pending = false;
double turn_end_ms = 0;
int turn_flushes = 0;
extern "C" void TCOD_sys_sleep_milli(uint32_t milliseconds) {
    if (turn_pending && milliseconds == 1) {
        turn_pending = false;
        turn_end_ms = last_flush_end_ms;
        turn_flushes = flush_count;
        game.hit_points = 0;
        push_key(SDLK_SPACE);
    }
    timespec pause{0, static_cast<long>(milliseconds) * 1000000};
    nanosleep(&pause, NULL);
}

namespace {

// The physical limit: one tile drawn and sent, and nothing else, per flush.
double bare_limit_ms(int flushes) {
    SDL_Window* window = TCOD_sys_get_sdl_window();
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    int tile = 16 * std::max(1, std::min(width / 640, height / 400));
    double start = now_ms();
    for (int i = 0; i < flushes; i++) {
        SDL_Surface* surface = SDL_GetWindowSurface(window);
        SDL_Rect rect{i * 7 % 40 * tile, i * 3 % 25 * tile, tile, tile};
        SDL_FillRect(surface, &rect, SDL_MapRGB(surface->format, i % 256, 64, 0));
        SDL_UpdateWindowSurfaceRects(window, &rect, 1);
    }
    return now_ms() - start;
}

// From the key that leaves the title screen to the last flush of level 1.
double level_ms() {
    push_key(SDLK_x);
    double start = now_ms();
    show_title_screen();
    start_new_game();
    return last_flush_end_ms - start;
}

// No live monster within one row-or-column step of the cell, so none of them attacks.
bool plain_step_right(int x, int y) {
    if (x + 1 >= MAP_WIDTH || terrain_at(x, y) != TERRAIN_FLOOR) return false;
    if (terrain_at(x + 1, y) != TERRAIN_FLOOR || item_at(x + 1, y) != 0) return false;
    for (const MonsterSlot& slot : monsters)
        if (slot.state != 0 && std::abs(slot.x - x - 1) + std::abs(slot.y - y) < 2) return false;
    return true;
}

// A step to the right on a level of 25 monsters, from the key entering SDL's queue to the
// last flush of the monsters' turn.
bool key_ms(double& milliseconds, int& flushes) {
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
            flush_count = 0;
            turn_pending = true;
            push_key(SDLK_d);
            double start = now_ms();
            run_game();
            milliseconds = turn_end_ms - start;
            flushes = turn_flushes;
            return true;
        }
    return false;
}

// The built game as a player starts it: the title, a level, steps and both fullscreen
// switches typed through the X server, then closed; its peak resident memory in MiB.
double game_peak_rss_mib() {
    pid_t game_pid = fork();
    if (game_pid == 0) {
        if (chdir(CRAGMOOR_DATA_DIR) == 0 && std::freopen("/dev/null", "w", stdout))
            execl(CRAGMOOR_EXE, CRAGMOOR_EXE, (char*)NULL);
        _exit(127);
    }
    std::system(
        "xdotool search --sync --class io.cragmoor.Cragmoor windowfocus --sync >/dev/null; "
        "xdotool key --delay 40 x d d s s a a w w 1 F11 d s a w F11 d s a w; sleep 1");
    kill(game_pid, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(game_pid, &status, 0, &usage);
    return usage.ru_maxrss / 1024.0;
}

int measure_here() {
    if (chdir(CRAGMOOR_DATA_DIR) != 0 || SDL_Init(SDL_INIT_AUDIO) < 0 || !open_window()) return 1;
    for (int i = 0; i < 50; i++, SDL_Delay(2)) poll_key_press();
    int width = 0, height = 0;
    SDL_GetWindowSize(TCOD_sys_get_sdl_window(), &width, &height);
    std::printf("= window %dx%d\n", width, height);
    std::vector<double> level, bare, key, key_bare;
    for (int run = 0; run < LEVEL_RUNS; run++) {
        flush_count = 0;
        level.push_back(level_ms());
        bare.push_back(bare_limit_ms(flush_count));
    }
    std::printf("= level_flushes %d\n= level_ms %.3f\n= level_bare_ms %.3f\n= level_ratio %.3f\n",
                flush_count, median(level), median(bare), median(level) / median(bare));
    whole_window_flushes = true;
    std::printf("= level_whole_ms %.3f\n", level_ms());
    whole_window_flushes = false;
    int flushes = 0;
    for (int run = 0; run < KEY_RUNS; run++) {
        double milliseconds = 0;
        if (!key_ms(milliseconds, flushes)) continue;
        key.push_back(milliseconds);
        key_bare.push_back(bare_limit_ms(flushes));
    }
    if (key.empty()) return 1;
    std::printf("= key_flushes %d\n= key_ms %.3f\n= key_bare_ms %.3f\n", flushes, median(key),
                median(key_bare));
    std::printf("= peak_rss_mib %.3f\n", game_peak_rss_mib());
    return 0;
}

std::map<std::string, std::string> measure_under(const Size& size, const char* self) {
    std::string command = std::string("SDL_AUDIODRIVER=dummy xvfb-run -a -s '-screen 0 ") +
                          size.screen + "x24' env SDL_VIDEODRIVER=x11 '" + self + "' --here";
    std::fprintf(stderr, "%s\n", command.c_str());
    std::map<std::string, std::string> figures;
    FILE* output = popen(command.c_str(), "r");
    char line[256], name[64], value[64];
    while (output && std::fgets(line, sizeof line, output)) {
        // Figures are the lines that start with "="; the game's own printing is not.
        if (std::sscanf(line, "= %63s %63s", name, value) != 2) continue;
        figures[name] = value;
        std::fprintf(stderr, "  %s %s\n", name, value);
    }
    if (!output || pclose(output) != 0) std::fprintf(stderr, "the run at %s failed\n", size.window);
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--here") return measure_here();
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return 1;
    self[length] = '\0';
    std::map<std::string, std::string> under[3];
    for (int i = 0; i < 3; i++) under[i] = measure_under(SIZES[i], self);
    std::printf("| Figure | %s | %s | %s | Goal |\n|---|---|---|---|---|\n", SIZES[0].window,
                SIZES[1].window, SIZES[2].window);
    for (const Row& row : ROWS) {
        std::printf("| %s |", row.label);
        for (auto& figures : under) {
            char text[32] = "none";
            const std::string& value = figures[row.figure];
            if (!value.empty() && row.format[1] == 's')
                std::snprintf(text, sizeof text, "%s", value.c_str());
            else if (!value.empty())
                std::snprintf(text, sizeof text, row.format, std::atof(value.c_str()));
            std::printf(" %s |", text);
        }
        std::printf(" %s |\n", row.goal);
    }
    return 0;
}
