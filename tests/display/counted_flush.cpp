// counted_flush.cpp -- counts the flushes of the drawing tests, passing each on to libtcod.
#include <dlfcn.h>
#include <libtcod.h>

int flush_count = 0;

namespace {
using Flush = TCOD_Error (*)();
const Flush libtcod_flush = reinterpret_cast<Flush>(dlsym(RTLD_NEXT, "TCOD_console_flush"));
}  // namespace

extern "C" TCOD_Error TCOD_console_flush() {
    flush_count++;
    return libtcod_flush();
}
