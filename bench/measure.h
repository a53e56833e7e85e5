// measure.h -- what the benchmarks measure alike: the game's flushes and libtcod's presents
// counted, level 1 and a turn of 25 monsters timed from keys pushed as a player types them.
#pragma once

#include <cstdint>

double now_ms();
// The window's first events read and its first picture shown, before anything is timed.
void settle_window();
void print_window_figures(int& width, int& height);
double level_ms(int& flushes, int& presents);
// Each program's TCOD_sys_sleep_milli calls this first: the game's idle sleep ends a turn.
void note_idle_sleep(std::uint32_t milliseconds);
// The level and turn figures as "= name value" lines; false when no turn could be timed.
bool print_level_and_turn_figures();
