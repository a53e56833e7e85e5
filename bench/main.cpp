// main.cpp -- the benchmark's entry. Without arguments it measures every figure under the
// dummy video driver and under Xvfb, each in a run of its own, and prints one table;
// "--here" measures under the environment it was started in and prints "name value" lines.
// Driver names (dummy, xvfb) and group names (level, key, waiting, game) narrow a run.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "bench.h"

namespace {

struct Group {
    const char* name;
    void (*measure)();
    bool opens_window;  // then it runs in a child, so that this process never starts SDL
};

const Group GROUPS[] = {
    {"level", measure_level, true},
    {"key", measure_key_response, true},
    {"waiting", measure_waiting_cpu, false},
    {"game", measure_game_process, false},
};

struct Driver {
    const char* name;
    const char* environment;  // put in front of the benchmark's own command
};

const Driver DRIVERS[] = {
    {"dummy", "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy"},
    {"xvfb",
     "SDL_AUDIODRIVER=dummy xvfb-run -a -s '-screen 0 1280x1024x24' "
     "env SDL_VIDEODRIVER=x11"},
};

struct Row {
    const char* label;
    const char* figure;
    double scale;  // the reported value is multiplied by it
    const char* format;
    const char* goal;
};

const Row ROWS[] = {
    {"Flushes in one level shown", "level_flushes", 1, "%.0f", ""},
    {"Level shown, before: TCOD_console_flush (ms)", "level_ms_libtcod", 1, "%.1f", ""},
    {"Bare limit, TCOD_console_flush (ms)", "bare_ms_libtcod", 1, "%.1f", ""},
    {"Level / bare limit, before", "level_ratio_libtcod", 1, "%.3f", "<= 1.05"},
    {"Level / bare limit, before, flush times equalised", "level_ratio_equalised_libtcod", 1,
     "%.4f", "<= 1.05"},
    {"Level, before: time outside flushes (ms)", "level_outside_ms_libtcod", 1, "%.1f", ""},
    {"Bare limit: time outside flushes (ms)", "bare_outside_ms_libtcod", 1, "%.1f", ""},
    {"One TCOD_console_flush (ms)", "flush_ms_libtcod", 1, "%.3f", ""},
    {"Level shown, now: flush_console (ms)", "level_ms_single", 1, "%.1f", ""},
    {"Bare limit, flush_console (ms)", "bare_ms_single", 1, "%.1f", ""},
    {"Level / bare limit, now", "level_ratio_single", 1, "%.3f", "<= 1.05"},
    {"Level / bare limit, now, flush times equalised", "level_ratio_equalised_single", 1, "%.4f",
     "<= 1.05"},
    {"Level, now: time outside flushes (ms)", "level_outside_ms_single", 1, "%.1f", ""},
    {"Bare limit: time outside flushes (ms)", "bare_outside_ms_single", 1, "%.1f", ""},
    {"One flush_console (ms)", "flush_ms_single", 1, "%.3f", ""},
    {"Key, 1 monster, before: response (ms)", "key_ms_m1_libtcod", 1, "%.2f", ""},
    {"Key, 1 monster, before: inside flushes (ms)", "key_flushes_ms_m1_libtcod", 1, "%.2f", ""},
    {"Key, 1 monster, before: on top of flushes (ms)", "key_on_top_ms_m1_libtcod", 1, "%.2f",
     "<= 2"},
    {"Key, 1 monster, before: of that, waiting for the poll (ms)", "key_poll_wait_ms_m1_libtcod", 1,
     "%.2f", ""},
    {"Key, 1 monster, before: of that, the turn's own work (ms)", "key_work_ms_m1_libtcod", 1,
     "%.3f", ""},
    {"Key, 1 monster: flushes in the turn", "key_flush_count_m1_libtcod", 1, "%.0f", ""},
    {"Key, 25 monsters, before: response (ms)", "key_ms_m25_libtcod", 1, "%.2f", ""},
    {"Key, 25 monsters, before: inside flushes (ms)", "key_flushes_ms_m25_libtcod", 1, "%.2f", ""},
    {"Key, 25 monsters, before: on top of flushes (ms)", "key_on_top_ms_m25_libtcod", 1, "%.2f",
     "<= 2"},
    {"Key, 25 monsters, before: of that, waiting for the poll (ms)", "key_poll_wait_ms_m25_libtcod",
     1, "%.2f", ""},
    {"Key, 25 monsters, before: of that, the turn's own work (ms)", "key_work_ms_m25_libtcod", 1,
     "%.3f", ""},
    {"Key, 25 monsters: flushes in the turn", "key_flush_count_m25_libtcod", 1, "%.0f", ""},
    {"Key, 1 monster, now: response (ms)", "key_ms_m1_single", 1, "%.2f", ""},
    {"Key, 1 monster, now: inside flushes (ms)", "key_flushes_ms_m1_single", 1, "%.2f", ""},
    {"Key, 1 monster, now: on top of flushes (ms)", "key_on_top_ms_m1_single", 1, "%.2f", "<= 2"},
    {"Key, 1 monster, now: of that, waiting for the poll (ms)", "key_poll_wait_ms_m1_single", 1,
     "%.2f", ""},
    {"Key, 1 monster, now: of that, the turn's own work (ms)", "key_work_ms_m1_single", 1, "%.3f",
     ""},
    {"Key, 25 monsters, now: response (ms)", "key_ms_m25_single", 1, "%.2f", ""},
    {"Key, 25 monsters, now: inside flushes (ms)", "key_flushes_ms_m25_single", 1, "%.2f", ""},
    {"Key, 25 monsters, now: on top of flushes (ms)", "key_on_top_ms_m25_single", 1, "%.2f",
     "<= 2"},
    {"Key, 25 monsters, now: of that, waiting for the poll (ms)", "key_poll_wait_ms_m25_single", 1,
     "%.2f", ""},
    {"Key, 25 monsters, now: of that, the turn's own work (ms)", "key_work_ms_m25_single", 1,
     "%.3f", ""},
    {"CPU waiting: title screen (% of one core)", "cpu_title_percent", 1, "%.2f", "<= 2"},
    {"CPU waiting: game loop (% of one core)", "cpu_game_percent", 1, "%.2f", "<= 2"},
    {"CPU waiting: space-bar prompt (% of one core)", "cpu_prompt_percent", 1, "%.2f", "<= 2"},
    {"CPU: 1 ms sleeps and nothing else (% of one core)", "cpu_sleep_only_percent", 1, "%.2f", ""},
    {"CPU waiting: built game's first screen (% of one core)", "cpu_first_screen_percent", 1,
     "%.2f", "<= 2"},
    {"Process start to first flush (ms)", "first_flush_ms", 1, "%.0f", ""},
    {"Peak resident memory of a whole game (MiB)", "peak_rss_kb", 1.0 / 1024, "%.1f", ""},
};

using Figures = std::map<std::string, std::string>;

bool chosen(const char* name, int argc, char** argv, bool is_driver) {
    bool any_given = false;
    for (int i = 1; i < argc; i++) {
        bool driver_argument = false;
        for (const Driver& driver : DRIVERS)
            driver_argument |= std::strcmp(argv[i], driver.name) == 0;
        if (driver_argument != is_driver || std::strcmp(argv[i], "--here") == 0) continue;
        any_given = true;
        if (std::strcmp(argv[i], name) == 0) return true;
    }
    return !any_given;
}

void run_group(const Group& group) {
    std::fflush(stdout);
    if (!group.opens_window) {
        group.measure();
        return;
    }
    pid_t child = fork();
    if (child == 0) {
        group.measure();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the %s figures failed\n", group.name);
        std::exit(1);
    }
}

int measure_here(int argc, char** argv) {
    for (const Group& group : GROUPS)
        if (chosen(group.name, argc, argv, false)) run_group(group);
    return 0;
}

std::string own_path() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) std::exit(1);
    return std::string(path, static_cast<std::size_t>(length));
}

Figures measure_under(const Driver& driver, const std::string& groups) {
    std::string command = std::string(driver.environment) + " '" + own_path() + "' --here" + groups;
    std::fprintf(stderr, "%s\n", command.c_str());
    Figures figures;
    FILE* output = popen(command.c_str(), "r");
    if (!output) std::exit(1);
    char line[256], name[128], value[64];
    while (std::fgets(line, sizeof line, output)) {
        if (std::sscanf(line, "%127s %63s", name, value) != 2) continue;
        figures[name] = value;
        std::fprintf(stderr, "  %s %s\n", name, value);
    }
    if (pclose(output) != 0) {
        std::fprintf(stderr, "the run under %s failed\n", driver.name);
        std::exit(1);
    }
    return figures;
}

std::string shown(const Figures& figures, const Row& row) {
    auto found = figures.find(row.figure);
    if (found == figures.end()) return "";
    if (found->second == "none") return "none";
    char text[32];
    std::snprintf(text, sizeof text, row.format, std::atof(found->second.c_str()) * row.scale);
    return text;
}

void print_table(const Figures& dummy, const Figures& xvfb) {
    std::printf("| Figure | SDL_VIDEODRIVER=dummy | Xvfb | Goal |\n|---|---|---|---|\n");
    for (const Row& row : ROWS) {
        std::string under_dummy = shown(dummy, row), under_xvfb = shown(xvfb, row);
        if (under_dummy.empty() && under_xvfb.empty()) continue;
        std::printf("| %s | %s | %s | %s |\n", row.label, under_dummy.c_str(), under_xvfb.c_str(),
                    row.goal);
    }
}

int measure_all(int argc, char** argv) {
    std::string groups;
    for (const Group& group : GROUPS)
        if (chosen(group.name, argc, argv, false)) groups += std::string(" ") + group.name;
    Figures under[2];
    for (int i = 0; i < 2; i++)
        if (chosen(DRIVERS[i].name, argc, argv, true)) under[i] = measure_under(DRIVERS[i], groups);
    std::printf("Build type: %s\n\n", CRAGMOOR_BUILD_TYPE);
    print_table(under[0], under[1]);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; i++)
        if (std::strcmp(argv[i], "--here") == 0) return measure_here(argc, argv);
    return measure_all(argc, argv);
}
