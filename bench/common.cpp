// common.cpp -- the clock, medians, the game's window and key presses for the benchmark.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bench.h"

std::int64_t now_ns() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void sleep_ns(std::int64_t nanoseconds) {
    if (nanoseconds <= 0) return;
    timespec pause{static_cast<time_t>(nanoseconds / 1000000000),
                   static_cast<long>(nanoseconds % 1000000000)};
    while (nanosleep(&pause, &pause) != 0) {
    }
}

double median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    std::size_t middle = samples.size() / 2;
    if (samples.size() % 2 == 1) return samples[middle];
    return (samples[middle - 1] + samples[middle]) / 2;
}

void open_game_window() {
    if (chdir(CRAGMOOR_DATA_DIR) != 0 || SDL_Init(SDL_INIT_AUDIO) < 0) {
        std::fprintf(stderr, "cannot start: %s\n", SDL_GetError());
        std::exit(1);
    }
    SDL_SetHint(SDL_HINT_POLL_SENTINEL, "0");
    if (TCOD_console_init_root(40, 25, "Cragmoor", false, TCOD_RENDERER_SDL) != TCOD_E_OK) {
        std::fprintf(stderr, "cannot open the window: %s\n", TCOD_get_error());
        std::exit(1);
    }
    SDL_StopTextInput();
    TCOD_console_set_default_foreground(NULL, TCOD_grey);
    TCOD_console_set_default_background(NULL, TCOD_black);
}

void push_quit() {
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

void report(const char* name, double value) {
    std::printf("%s %.4f\n", name, value);
    std::fflush(stdout);
}

void report_none(const char* name) {
    std::printf("%s none\n", name);
    std::fflush(stdout);
}
