// fake_sleep.cpp -- replaces libtcod's sleep in the tests: the game's pauses are recorded
// and skipped, so a test neither waits for them nor loses them.
#include <cstdint>

#include "support/console.h"

std::vector<unsigned> pauses;
std::function<void()> on_pause;

extern "C" void TCOD_sys_sleep_milli(std::uint32_t milliseconds) {
    pauses.push_back(milliseconds);
    if (on_pause) on_pause();
}
