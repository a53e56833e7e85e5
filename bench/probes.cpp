// probes.cpp -- the benchmark's own TCOD_console_flush, TCOD_console_put_char_ex and
// TCOD_console_check_for_keypress, and a wrapper around the game's flush_console: each
// passes the call on and notes when it happened, so that a figure can be cut out of the
// game's own calls. Every flush, the game's or libtcod's, goes the way flush_mode says.
#include <dlfcn.h>

#include "bench.h"

FlushMode flush_mode = FLUSH_LIBTCOD;
FlushLog flush_log;
bool recording_puts = false;
int recorded_put_count = 0;
PutCall recorded_puts[MAX_RECORDED_PUTS];
void (*before_key_poll)() = nullptr;
std::int64_t key_read_ns = 0;

namespace {

using Flush = TCOD_Error (*)();
using PutCharEx = void (*)(TCOD_Console*, int, int, int, TCOD_color_t, TCOD_color_t);
using CheckForKeypress = TCOD_key_t (*)(int);

template <typename Function>
Function libtcod_function(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

const Flush libtcod_flush = libtcod_function<Flush>("TCOD_console_flush");
const PutCharEx libtcod_put_char_ex = libtcod_function<PutCharEx>("TCOD_console_put_char_ex");
const CheckForKeypress libtcod_check_for_keypress =
    libtcod_function<CheckForKeypress>("TCOD_console_check_for_keypress");

}  // namespace

// The game's own flush_console, reached through the linker's --wrap.
extern "C" void __real__Z13flush_consolev();

namespace {

void timed_flush() {
    std::int64_t start = now_ns();
    if (flush_mode == FLUSH_SINGLE_PRESENT)
        __real__Z13flush_consolev();
    else
        libtcod_flush();
    std::int64_t end = now_ns();
    flush_log.count++;
    flush_log.inside_ns += end - start;
    flush_log.last_end_ns = end;
}

}  // namespace

void reset_flush_log() { flush_log = FlushLog{0, 0, 0}; }

extern "C" void __wrap__Z13flush_consolev() { timed_flush(); }

extern "C" TCOD_Error TCOD_console_flush() {
    timed_flush();
    return TCOD_E_OK;
}

extern "C" void TCOD_console_put_char_ex(TCOD_Console* console, int x, int y, int c,
                                         TCOD_color_t fore, TCOD_color_t back) {
    if (recording_puts && recorded_put_count < MAX_RECORDED_PUTS)
        recorded_puts[recorded_put_count++] = PutCall{x, y, c, fore, back};
    libtcod_put_char_ex(console, x, y, c, fore, back);
}

extern "C" TCOD_key_t TCOD_console_check_for_keypress(int flags) {
    if (before_key_poll) before_key_poll();
    TCOD_key_t key = libtcod_check_for_keypress(flags);
    if (key.vk != TCODK_NONE && key_read_ns == 0) key_read_ns = now_ns();
    return key;
}
