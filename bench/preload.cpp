// preload.cpp -- loaded into the built game by the benchmark (LD_PRELOAD). It notes the
// game's flushes in the record shared with the benchmark (the game's own flush_console
// reaches the window through SDL_RenderPresent, libtcod's flush through two of them, which
// count as one flush), and once the benchmark asks for
// it plays a fixed run of keys, pushed into SDL's queue as the keyboard sends them, so that
// a whole game runs in the real program under any video driver.
#include "keys.h"
#include "preload.h"

#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <libtcod.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>

namespace {

using Flush = TCOD_Error (*)();
using Present = void (*)(SDL_Renderer*);
using CheckForKeypress = TCOD_key_t (*)(int);

constexpr unsigned POLLS_PER_KEY = 20;
// Walking mostly, now and then a potion or a space: space leaves the title screen and
// answers the prompts between levels and after death. Never q, which would ask to give up.
constexpr SDL_Keycode PLAY_KEYS[] = {SDLK_w, SDLK_a, SDLK_s, SDLK_d, SDLK_d,
                                     SDLK_s, SDLK_w, SDLK_a, SDLK_1, SDLK_SPACE};

PreloadShared no_benchmark;
bool inside_libtcod_flush = false;
unsigned polls = 0;
std::uint32_t key_seed = 2024;

std::int64_t now_ns() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

PreloadShared& shared() {
    static PreloadShared* record = nullptr;
    if (record) return *record;
    record = &no_benchmark;
    const char* path = std::getenv("BENCH_SHARED_FILE");
    int file = path ? open(path, O_RDWR) : -1;
    if (file < 0) return *record;
    void* mapped =
        mmap(nullptr, sizeof(PreloadShared), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    close(file);
    if (mapped != MAP_FAILED) record = static_cast<PreloadShared*>(mapped);
    return *record;
}

void push_next_key() {
    key_seed = key_seed * 1103515245u + 12345u;
    SDL_Keycode key = PLAY_KEYS[(key_seed >> 16) % (sizeof PLAY_KEYS / sizeof PLAY_KEYS[0])];
    push_key(key);
}

void note_flush() {
    PreloadShared& record = shared();
    std::int64_t now = now_ns();
    if (record.first_flush_ns == 0) record.first_flush_ns = now;
    record.last_flush_ns = now;
    record.flush_count++;
}

}  // namespace

extern "C" TCOD_Error TCOD_console_flush() {
    static const Flush libtcod_flush =
        reinterpret_cast<Flush>(dlsym(RTLD_NEXT, "TCOD_console_flush"));
    inside_libtcod_flush = true;
    TCOD_Error result = libtcod_flush();
    inside_libtcod_flush = false;
    note_flush();
    return result;
}

extern "C" void SDL_RenderPresent(SDL_Renderer* renderer) {
    static const Present sdl_present =
        reinterpret_cast<Present>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
    sdl_present(renderer);
    if (!inside_libtcod_flush) note_flush();
}

extern "C" TCOD_key_t TCOD_console_check_for_keypress(int flags) {
    static const CheckForKeypress libtcod_check =
        reinterpret_cast<CheckForKeypress>(dlsym(RTLD_NEXT, "TCOD_console_check_for_keypress"));
    if (shared().play_keys && ++polls % POLLS_PER_KEY == 0) push_next_key();
    return libtcod_check(flags);
}
