// bench.h -- what the benchmark's parts share: the clock, the probes on libtcod's flush and
// key poll, opening the window as the game does, and one line per measured figure.
#pragma once

#include <SDL.h>
#include <libtcod.h>

#include <cstdint>
#include <vector>

#include "keys.h"

std::int64_t now_ns();
void sleep_ns(std::int64_t nanoseconds);
double median(std::vector<double> samples);

// How every flush shows its frame: through libtcod's TCOD_console_flush (which presents
// every frame twice, as the game did before), or through the game's flush_console (one
// accumulate and one present).
enum FlushMode { FLUSH_LIBTCOD, FLUSH_SINGLE_PRESENT };
extern FlushMode flush_mode;

// What the flushes did since the last reset_flush_log().
struct FlushLog {
    int count;
    std::int64_t inside_ns;  // time spent inside the flushes
    std::int64_t last_end_ns;
};
extern FlushLog flush_log;
void reset_flush_log();

// While recording, every TCOD_console_put_char_ex is kept, so that the same puts can be
// replayed with nothing of the game around them.
struct PutCall {
    int x, y, c;
    TCOD_color_t fore, back;
};
constexpr int MAX_RECORDED_PUTS = 4096;
extern bool recording_puts;
extern int recorded_put_count;
extern PutCall recorded_puts[MAX_RECORDED_PUTS];

// Called before every key poll; the key figure uses it to follow a turn to its end.
extern void (*before_key_poll)();
// The time the first key since the last reset was returned by a poll, or 0.
extern std::int64_t key_read_ns;

// Opens the 40 x 25 window as the game's main does, in the data folder.
void open_game_window();

// Queues a window close; push_key (keys.h) queues a key stroke. Safe from any thread.
void push_quit();

// One measured figure as the line "name value"; value is "none" when it does not apply.
void report(const char* name, double value);
void report_none(const char* name);

void measure_level();
void measure_key_response();
void measure_waiting_cpu();
void measure_game_process();
