// support.h -- what the tests share: the window opened as the game opens it, keys pushed
// into SDL's queue, and a log of the game's calls seen through the linker (--wrap).
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>
#include <libtcod.h>

#include <functional>
#include <string>
#include <vector>

// Opens the window on SDL's dummy drivers in the data folder; empties the level, the window,
// the key queue and the log; puts the player at (10, 10) with 3 hit points. Every test starts here.
void start_test();

// The game's calls, ';' between: "step3" (footstep at step_counter 3), "ouch.wav", "level 2",
// "prompt next level...", "~grey" (trail redrawn), "pause 600 *red monster hit!" (player, message).
extern std::string calls;
extern std::vector<unsigned> pauses;  // every pause, polls included
extern std::function<void()> on_pause;
extern int flushes;

// What the window shows since the last flush: a cell as "<glyph><colour>" ("@white",
// ".grey", "Mgreen"), text and the message field as letters.
std::string cell(int x, int y);
std::string text(int x, int y, int length);
std::string message();

// Keys typed, Shift held around an upper-case letter; {}[] arrows up, down, left, right; E Escape,
// N Return, ! the window closing, % Caps Lock on for all keys; +q presses q only, ^q releases it.
void push_keys(const char* keys);
// Runs a part of the game (run_game, say) until it returns or idles with no key left.
void play(const std::function<void()>& game_part);

void seed_random(unsigned seed);
