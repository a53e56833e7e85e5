// level.cpp -- a whole level shown as the game shows it (clear, status line, level) against
// the bare limit: the same put and flush pairs with nothing of the game around them.
#include <cstdio>

#include "bench.h"
#include "display/display.h"
#include "game/game.h"

namespace {

constexpr int LEVEL_RUNS = 5;

void show_level() {
    TCOD_console_clear(NULL);
    draw_status_line();
    draw_level();
}

struct Timing {
    double total_ms, outside_flushes_ms;
};

Timing timing_since(std::int64_t start) {
    double total = (now_ns() - start) / 1e6;
    return Timing{total, total - flush_log.inside_ns / 1e6};
}

Timing level_timing() {
    reset_flush_log();
    std::int64_t start = now_ns();
    show_level();
    return timing_since(start);
}

// Starts, like the level, from a cleared console, so that every flush has a cell to change.
Timing bare_timing() {
    TCOD_console_clear(NULL);
    reset_flush_log();
    std::int64_t start = now_ns();
    for (int i = 0; i < recorded_put_count; i++) {
        const PutCall& put = recorded_puts[i];
        TCOD_console_put_char_ex(NULL, put.x, put.y, put.c, put.fore, put.back);
        TCOD_console_flush();
    }
    return timing_since(start);
}

void record_level_puts() {
    recorded_put_count = 0;
    recording_puts = true;
    reset_flush_log();
    show_level();
    recording_puts = false;
    report("level_flushes", flush_log.count);
    report("level_puts", recorded_put_count);
}

void report_figure(const char* what, const char* suffix, double value) {
    char name[64];
    std::snprintf(name, sizeof name, "%s_%s", what, suffix);
    report(name, value);
}

// Level and bare runs take turns, every other pair the bare one first, so that a slower
// spell of the machine (or of the X server) falls on both alike; the ratio is the median
// of each pair's ratio.
void time_level(FlushMode mode, const char* suffix) {
    flush_mode = mode;
    show_level();
    std::vector<double> level, bare, ratio, equalised, level_outside, bare_outside;
    for (int run = 0; run < LEVEL_RUNS; run++) {
        Timing level_run{}, bare_run{};
        if (run % 2 == 0) {
            level_run = level_timing();
            bare_run = bare_timing();
        } else {
            bare_run = bare_timing();
            level_run = level_timing();
        }
        level.push_back(level_run.total_ms);
        bare.push_back(bare_run.total_ms);
        ratio.push_back(level_run.total_ms / bare_run.total_ms);
        // Both runs make the same puts, so their flushes do the same work: what is left
        // when only the time outside the flushes differs is the game's own part.
        equalised.push_back(
            (bare_run.total_ms + level_run.outside_flushes_ms - bare_run.outside_flushes_ms) /
            bare_run.total_ms);
        level_outside.push_back(level_run.outside_flushes_ms);
        bare_outside.push_back(bare_run.outside_flushes_ms);
        std::fprintf(stderr, "  level %.1f ms, bare %.1f ms (%s)\n", level.back(), bare.back(),
                     suffix);
    }
    report_figure("level_ms", suffix, median(level));
    report_figure("bare_ms", suffix, median(bare));
    report_figure("level_ratio", suffix, median(ratio));
    report_figure("level_ratio_equalised", suffix, median(equalised));
    report_figure("level_outside_ms", suffix, median(level_outside));
    report_figure("bare_outside_ms", suffix, median(bare_outside));
    report_figure("flush_ms", suffix, median(bare) / recorded_put_count);
}

}  // namespace

void measure_level() {
    open_game_window();
    start_new_game();
    record_level_puts();
    time_level(FLUSH_LIBTCOD, "libtcod");
    time_level(FLUSH_SINGLE_PRESENT, "single");
    flush_mode = FLUSH_LIBTCOD;
}
