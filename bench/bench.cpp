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

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "display/display.h"
#include "measure.h"
#include "platform/platform.h"

namespace {

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

}  // namespace

// The turn is timed up to the game's idle sleep; the sleep itself is the system's.
extern "C" void TCOD_sys_sleep_milli(uint32_t milliseconds) {
    note_idle_sleep(milliseconds);
    timespec pause{0, static_cast<long>(milliseconds) * 1000000};
    nanosleep(&pause, NULL);
}

namespace {

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
    settle_window();
    int width = 0, height = 0;
    print_window_figures(width, height);
    if (!print_level_and_turn_figures()) return 1;
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
