// waiting.cpp -- the processor time the game uses while it waits for a key on each of its
// three waiting screens, with the game's own pauses between polls.
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "bench.h"
#include "display/display.h"
#include "game/game.h"

namespace {

constexpr std::int64_t SETTLE_NS = 300000000;
constexpr std::int64_t WINDOW_NS = 1200000000;  // more than one blink of the space prompt
constexpr int WINDOWS = 3;

struct WaitingScreen {
    const char* name;
    void (*prepare)();
    void (*wait)();
    void (*leave)();  // the event that ends the wait
};

std::atomic<bool> stop_sleeping;

void nothing() {}
void title_screen() { show_title_screen(); }
void space_prompt() { wait_for_space("next level..."); }
void press_space() { push_key(SDLK_SPACE); }
void stop_sleep_loop() { stop_sleeping = true; }

// The floor under every waiting screen: the game's 1 ms pause and nothing else.
void sleep_loop() {
    while (!stop_sleeping) TCOD_sys_sleep_milli(1);
}

const WaitingScreen SCREENS[] = {
    {"cpu_title_percent", nothing, title_screen, press_space},
    {"cpu_game_percent", start_new_game, run_game, push_quit},
    {"cpu_prompt_percent", start_new_game, space_prompt, press_space},
    {"cpu_sleep_only_percent", nothing, sleep_loop, stop_sleep_loop},
};

std::atomic<bool> screen_left;

std::int64_t process_cpu_ns() {
    timespec used;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<std::int64_t>(used.tv_sec) * 1000000000 + used.tv_nsec;
}

// Runs beside the waiting screen; a window that the screen did not last through is dropped.
void watch(const WaitingScreen& screen, std::vector<double>& percents) {
    sleep_ns(SETTLE_NS);
    for (int window = 0; window < WINDOWS && !screen_left; window++) {
        std::int64_t cpu_start = process_cpu_ns(), wall_start = now_ns();
        sleep_ns(WINDOW_NS);
        std::int64_t cpu = process_cpu_ns() - cpu_start, wall = now_ns() - wall_start;
        if (!screen_left) percents.push_back(100.0 * cpu / wall);
    }
    screen.leave();
}

void measure_screen(const WaitingScreen& screen) {
    open_game_window();
    screen.prepare();
    std::vector<double> percents;
    screen_left = false;
    std::thread watcher(watch, std::cref(screen), std::ref(percents));
    screen.wait();
    screen_left = true;
    watcher.join();
    if (percents.empty())
        report_none(screen.name);
    else
        report(screen.name, median(percents));
}

}  // namespace

// Each screen in a process of its own: leaving the game loop closes the window for good.
void measure_waiting_cpu() {
    for (const WaitingScreen& screen : SCREENS) {
        std::fflush(stdout);
        pid_t child = fork();
        if (child == 0) {
            measure_screen(screen);
            std::fflush(stdout);
            _exit(0);
        }
        waitpid(child, nullptr, 0);
    }
}
