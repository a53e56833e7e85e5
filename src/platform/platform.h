// platform.h -- the game's one door to the machine: its data folder, the window and its
// keys, showing the root console, and the pauses. Only src/platform/ calls SDL's video and
// event functions; a libtcod or SDL upgrade is met here.
#pragma once

#include <libtcod.h>

#include <cstdint>

constexpr int CONSOLE_COLUMNS = 40;  // the root console: the map's 40 columns
constexpr int CONSOLE_ROWS = 25;     // the map's 24 rows and the status row
constexpr std::uint32_t IDLE_PAUSE_MS = 1;  // between two polls of a wait for a key

// Makes the working directory the game's data folder: the first of the working directory,
// the installed data folder and the source tree's data/ whose "terminal.png" libtcod can
// use as the game's glyph sheet. Called by main before anything is loaded. Returns false,
// having printed one line naming the font and the folders, when none holds a usable one.
bool enter_data_folder();

// Tells the player why the game cannot start, or plays without sound: the line goes to
// standard output as it stands; where no terminal shows it (Windows, a web page) the player
// is also shown it, and a message box waits for the player to read it. Called by main,
// enter_data_folder, open_window and play_sound.
void tell_player(const char* line);

// Opens the 40 x 25 window with the data folder's font, at the largest whole multiple of
// the console's size that fits the display's usable area with the window's frame, never
// smaller than one whole scale; with the game's icon ("icon.png", if it is there) and the
// desktop entry's window class. Returns false, having printed libtcod's error, when no
// window opens. Called by main once.
bool open_window();

// The next key press of the game, or vk TCODK_NONE when none is waiting; never waits.
// F11 and Alt+Enter switch fullscreen and modifier keys pressed alone are not keys of the
// game: for them it returns TCODK_NONE. A window exposed, restored, resized or switched to
// or from fullscreen since the last call is shown again first. Called by the waits for a
// key: run_game, the give-up question, wait_for_space and the title screen.
TCOD_key_t poll_key_press();

// The character a key press typed: libtcod reports the unshifted key, so a letter read
// with Shift or Caps Lock comes back upper-case here. 0 for keys without a character.
char typed_character(const TCOD_key_t& key);

// The game's flush, called after every glyph put: what the root console holds reaches the
// window, at the largest whole-number scale that fits it, centred on black. Flushes in one
// burst are shown together, at the next pause or once a 60 Hz frame has passed, since a
// display shows no more than that; libtcod draws only the cells that changed.
void flush_console();

// Shows what was flushed, then waits the given milliseconds, or less once the window has
// been closed. Keys pressed meanwhile stay queued for the next poll. Called for the game's
// pauses (a hit, a crush, a heal) and for the 1 ms between polls.
void pause_game(std::uint32_t milliseconds);
