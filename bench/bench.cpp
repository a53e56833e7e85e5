// bench.cpp -- how fast the game shows a level and answers a key, and how much memory it
// holds, in a real window: under X at three window sizes and under Wayland (sway's headless
// output), with a bare libtcod window's memory beside the game's.
// Without arguments it starts itself once per X size in an Xvfb whose screen makes the game
// open its window at that size, once under a headless sway, and prints a Markdown table;
// "--here" measures in the display it was started in and prints "= name value" lines;
// "--bare-window W H [fullscreen]" is the bare libtcod window whose memory is measured.
#include <SDL.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "display/display.h"
#include "dungeon/dungeon.h"
#include "game/game.h"
#include "game/game_state.h"
#include "platform/platform.h"

namespace {

constexpr int LEVEL_RUNS = 7;
constexpr int KEY_RUNS = 15;
constexpr const char* FONT_FILE = "terminal.png";
constexpr int FONT_GRID = 16;
constexpr const char* WAYLAND_OUTPUT = "1920x1200";

struct Column {
    const char* title;
    const char* screen;  // the Xvfb screen that makes the game open at the size wanted; none for Wayland
};
// Without a window manager a window has no frame: the game takes the largest multiple of
// 320 x 200 within the whole screen, 960 x 600, 1600 x 1000 and 2240 x 1400 here.
const Column COLUMNS[] = {
    {"X 1366x768", "1366x768"},
    {"X 1680x1050", "1680x1050"},
    {"X 2560x1440", "2560x1440"},
    {"Wayland 1920x1200", nullptr},
};
constexpr int COLUMN_COUNT = sizeof COLUMNS / sizeof COLUMNS[0];

struct Row {
    const char* label;
    const char* figure;
    const char* format;
    const char* goal;
};
const Row ROWS[] = {
    {"Window opened at", "window", "%s", ""},
    {"SDL video driver / renderer", "drawing", "%s", ""},
    {"Flushes in level 1", "level_flushes", "%.0f", ""},
    {"Presents in level 1", "level_presents", "%.0f", ""},
    {"Key to the last picture of level 1 (ms)", "level_ms", "%.1f", "<= 100"},
    {"Flushes in a turn of 25 monsters", "key_flushes", "%.0f", ""},
    {"Presents in the turn", "key_presents", "%.0f", ""},
    {"Key to the last picture of the turn (ms)", "key_ms", "%.2f", "<= 16.7"},
    {"One present of the whole window, median (ms)", "present_ms", "%.2f", ""},
    {"Peak resident memory of a whole game, typed (MiB)", "peak_rss_mib", "%.1f",
     "about a bare window"},
    {"Bare libtcod window at the game's size (MiB)", "bare_rss_mib", "%.1f", ""},
    {"Bare libtcod window, fullscreen and back (MiB)", "bare_full_rss_mib", "%.1f", ""},
    {"Peak resident memory of the --here run (MiB)", "here_rss_mib", "%.1f", ""},
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

// The game's flushes only mark the console changed; they are counted.
int flush_count = 0;
extern "C" void __real__Z13flush_consolev();
extern "C" void __wrap__Z13flush_consolev() {
    flush_count++;
    __real__Z13flush_consolev();
}

// A present is what reaches the screen: each is counted and timed, and the end of the last
// one is when the player sees the picture.
int present_count = 0;
double last_present_end_ms = 0;
std::vector<double> present_durations;
extern "C" TCOD_Error __real_TCOD_console_flush_ex(TCOD_Console*, TCOD_ViewportOptions*);
extern "C" TCOD_Error __wrap_TCOD_console_flush_ex(TCOD_Console* console,
                                                   TCOD_ViewportOptions* viewport) {
    double start = now_ms();
    TCOD_Error result = __real_TCOD_console_flush_ex(console, viewport);
    last_present_end_ms = now_ms();
    present_durations.push_back(last_present_end_ms - start);
    present_count++;
    return result;
}

// The game's 1 ms idle sleep after a key means its turn is over and shown (the pause
// before it presented): the player then dies and the death prompt is answered, so that
// run_game returns with the window still open.
bool turn_pending = false;
double turn_end_ms = 0;
int turn_flushes = 0;
int turn_presents = 0;
extern "C" void TCOD_sys_sleep_milli(uint32_t milliseconds) {
    if (turn_pending && milliseconds == 1) {
        turn_pending = false;
        turn_end_ms = last_present_end_ms;
        turn_flushes = flush_count;
        turn_presents = present_count;
        game.hit_points = 0;
        push_key(SDLK_SPACE);
    }
    timespec pause{0, static_cast<long>(milliseconds) * 1000000};
    nanosleep(&pause, NULL);
}

namespace {

// From the key that leaves the title screen to the last present of level 1, which comes at
// run_game's first idle pause, as in the game.
double level_ms(int& flushes, int& presents) {
    push_key(SDLK_x);
    flush_count = 0;
    present_count = 0;
    double start = now_ms();
    show_title_screen();
    start_new_game();
    pause_game(1);
    flushes = flush_count;
    presents = present_count;
    return last_present_end_ms - start;
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
            flush_count = 0;
            present_count = 0;
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

// A child's peak resident memory in MiB, once it has been ended with SIGTERM.
double end_and_reap_mib(pid_t child) {
    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return usage.ru_maxrss / 1024.0;
}

// The built game as a player starts it: the title, a level, steps and both fullscreen
// switches typed through the X server, then closed.
double game_peak_rss_mib() {
    // The child would otherwise print the parent's unwritten figures a second time.
    std::fflush(stdout);
    pid_t game_pid = fork();
    if (game_pid == 0) {
        if (chdir(CRAGMOOR_DATA_DIR) == 0 && std::freopen("/dev/null", "w", stdout))
            execl(CRAGMOOR_EXE, CRAGMOOR_EXE, (char*)NULL);
        _exit(127);
    }
    std::system(
        "xdotool search --sync --class io.cragmoor.Cragmoor windowfocus --sync >/dev/null; "
        "xdotool key --delay 40 x d d s s a a w w 1 F11 d s a w F11 d s a w; sleep 1");
    return end_and_reap_mib(game_pid);
}

// This program started again as a bare libtcod window of the given size; it ends itself.
double bare_window_rss_mib(int width, int height, bool fullscreen) {
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return 0;
    self[length] = '\0';
    std::string w = std::to_string(width), h = std::to_string(height);
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        if (std::freopen("/dev/null", "w", stdout))
            execl(self, self, "--bare-window", w.c_str(), h.c_str(),
                  fullscreen ? "fullscreen" : (char*)NULL, (char*)NULL);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Keeps a window's events read, as a program waiting for a key does.
void wait_with_events(int milliseconds) {
    for (double end = now_ms() + milliseconds; now_ms() < end; SDL_Delay(5)) SDL_PumpEvents();
}

// What every libtcod program pays for its window: the game's font and drawing hints, one
// flush with the game's viewport, and a wait; nothing of the game.
int bare_window(int width, int height, bool fullscreen) {
    if (chdir(CRAGMOOR_DATA_DIR) != 0 || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 1;
    if (std::strcmp(SDL_GetCurrentVideoDriver(), "wayland") != 0)
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (TCOD_console_set_custom_font(FONT_FILE, TCOD_FONT_LAYOUT_ASCII_INCOL, FONT_GRID,
                                     FONT_GRID) < 0 ||
        TCOD_console_init_root(CONSOLE_COLUMNS, CONSOLE_ROWS, "bare", false,
                               TCOD_RENDERER_SDL) != TCOD_E_OK)
        return 1;
    SDL_Window* window = TCOD_sys_get_sdl_window();
    SDL_SetWindowSize(window, width, height);
    TCOD_ViewportOptions* viewport = TCOD_viewport_new();
    viewport->integer_scaling = true;
    viewport->clear_color = TCOD_ColorRGBA{0, 0, 0, 255};
    TCOD_console_print(NULL, 1, 1, "bare");
    wait_with_events(200);
    TCOD_console_flush_ex(NULL, viewport);
    wait_with_events(500);
    if (fullscreen) {
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        wait_with_events(200);
        TCOD_console_flush_ex(NULL, viewport);
        wait_with_events(300);
        SDL_SetWindowFullscreen(window, 0);
        wait_with_events(200);
        TCOD_console_flush_ex(NULL, viewport);
        wait_with_events(300);
    }
    TCOD_viewport_delete(viewport);
    TCOD_quit();
    return 0;
}

int measure_here() {
    if (chdir(CRAGMOOR_DATA_DIR) != 0 || SDL_Init(SDL_INIT_AUDIO) < 0 || !open_window()) return 1;
    for (int i = 0; i < 50; i++, SDL_Delay(2)) poll_key_press();
    pause_game(1);
    int width = 0, height = 0;
    SDL_GetWindowSize(TCOD_sys_get_sdl_window(), &width, &height);
    SDL_RendererInfo renderer{};
    SDL_GetRendererInfo(SDL_GetRenderer(TCOD_sys_get_sdl_window()), &renderer);
    std::printf("= window %dx%d\n= drawing %s/%s\n", width, height, SDL_GetCurrentVideoDriver(),
                renderer.name != NULL ? renderer.name : "none");
    present_durations.clear();
    std::vector<double> level, key;
    int flushes = 0, presents = 0;
    for (int run = 0; run < LEVEL_RUNS; run++) level.push_back(level_ms(flushes, presents));
    std::printf("= level_flushes %d\n= level_presents %d\n= level_ms %.3f\n", flushes, presents,
                median(level));
    for (int run = 0; run < KEY_RUNS; run++) {
        double milliseconds = 0;
        if (!key_ms(milliseconds, flushes, presents)) continue;
        key.push_back(milliseconds);
    }
    if (key.empty()) return 1;
    std::printf("= key_flushes %d\n= key_presents %d\n= key_ms %.3f\n", flushes, presents,
                median(key));
    std::printf("= present_ms %.3f\n", median(present_durations));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("= here_rss_mib %.3f\n", usage.ru_maxrss / 1024.0);
    // A key wtype sends before SDL has taken its new keyboard's keymap crashes SDL 2.26, so
    // only X types one here.
    if (std::strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0)
        std::printf("= peak_rss_mib %.3f\n", game_peak_rss_mib());
    std::printf("= bare_rss_mib %.3f\n", bare_window_rss_mib(width, height, false));
    std::printf("= bare_full_rss_mib %.3f\n", bare_window_rss_mib(width, height, true));
    return 0;
}

// sway will not run as root: as root, the compositor and the measurement run as nobody.
std::string wayland_command(const char* self) {
    std::string as_user = geteuid() == 0 ? "setpriv --reuid=nobody --regid=nogroup --clear-groups "
                                         : "";
    return std::string("dir=$(mktemp -d) && chmod 755 \"$dir\" && mkdir -m 700 \"$dir/run\" && ") +
           (geteuid() == 0 ? "chown nobody:nogroup \"$dir/run\" && " : "") +
           "echo 'output HEADLESS-1 resolution " + WAYLAND_OUTPUT + "' > \"$dir/config\" || exit 1; " +
           as_user +
           "env XDG_RUNTIME_DIR=\"$dir/run\" WLR_BACKENDS=headless WLR_RENDERER=pixman "
           "WLR_LIBINPUT_NO_DEVICES=1 sway -c \"$dir/config\" >\"$dir/sway.log\" 2>&1 & "
           "sway=$!; for i in $(seq 100); do "
           "socket=$(ls \"$dir/run\" 2>/dev/null | grep -x 'wayland-[0-9]*' | head -n 1); "
           "[ -n \"$socket\" ] && break; sleep 0.1; done; " +
           as_user +
           "env XDG_RUNTIME_DIR=\"$dir/run\" WAYLAND_DISPLAY=\"$socket\" SDL_VIDEODRIVER=wayland "
           "SDL_AUDIODRIVER=dummy '" +
           self +
           "' --here; status=$?; kill $sway; wait $sway; rm -rf \"$dir\"; exit $status";
}

std::map<std::string, std::string> measure_under(const Column& column, const char* self) {
    std::string command =
        column.screen != nullptr
            ? std::string("SDL_AUDIODRIVER=dummy xvfb-run -a -s '-screen 0 ") + column.screen +
                  "x24' env SDL_VIDEODRIVER=x11 '" + self + "' --here"
            : wayland_command(self);
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
    if (!output || pclose(output) != 0) std::fprintf(stderr, "the run %s failed\n", column.title);
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--here") return measure_here();
    if (argc > 3 && std::string(argv[1]) == "--bare-window")
        return bare_window(std::atoi(argv[2]), std::atoi(argv[3]), argc > 4);
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return 1;
    self[length] = '\0';
    std::map<std::string, std::string> under[COLUMN_COUNT];
    for (int i = 0; i < COLUMN_COUNT; i++) under[i] = measure_under(COLUMNS[i], self);
    std::printf("| Figure |");
    for (const Column& column : COLUMNS) std::printf(" %s |", column.title);
    std::printf(" Goal |\n|---|");
    for (int i = 0; i <= COLUMN_COUNT; i++) std::printf("---|");
    std::printf("\n");
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
