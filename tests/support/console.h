// console.h -- what the tests share: a root console to draw on, the console read back
// as text, key presses pushed into SDL's queue, and the game's pauses recorded.
#pragma once

#include <SDL.h>
#include <libtcod.h>

#include <functional>
#include <string>
#include <vector>

// Opens the 40 x 25 root console as the game does, on SDL's dummy drivers.
void open_test_console();

// An empty level: floor everywhere, no potions, every monster slot empty.
void make_empty_level();

// Row y of the root console, one character per cell: printable ASCII as itself,
// the game's own glyphs by a letter of their own (see console.cpp), others as '?'.
std::string console_row(int y);
std::string console_text(int x, int y, int length);

bool same_colour(TCOD_color_t a, TCOD_color_t b);
TCOD_color_t foreground_at(int x, int y);
TCOD_color_t background_at(int x, int y);

// Queues a key press and its release as the keyboard would send them; with Shift in
// the modifiers, the Shift key is pressed around it (a key press of its own).
void push_key(SDL_Keycode key, Uint16 modifiers = KMOD_NONE);
// Queues one half of a key stroke: the press alone (a key held down) or the release alone.
void push_key_half(SDL_Keycode key, bool down);
// Queues a window close.
void push_quit();

// Every pause the game asked for, in milliseconds, since the test began.
extern std::vector<unsigned> pauses;
// Called on every pause before it returns; a test uses it to act while the game waits.
extern std::function<void()> on_pause;
