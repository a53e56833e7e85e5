// display.h -- everything the player sees: map cells, the player, the status line,
// the message field, the space-bar prompt and the title screen. Every glyph put is
// flushed to the window at once; nothing here changes the game record.
#pragma once

#include <libtcod.h>

constexpr int CONSOLE_COLUMNS = 40;  // the root console: the map's 40 columns
constexpr int CONSOLE_ROWS = 25;     // the map's 24 rows and the status row
constexpr int STATUS_ROW = 24;       // bottom row: status at the left, messages at the right
constexpr int MESSAGE_COLUMN = 20;   // first column of the message field

// Opens the 40 x 25 window at the largest whole multiple of the console's size that fits
// three quarters of the display, with the game's icon (from "icon.png", if it is there)
// and the desktop entry's window class. Returns false, having printed libtcod's error,
// when no window opens. Called by main once.
bool open_window();

// The next key press of the game, or vk TCODK_NONE when none is waiting; never waits.
// F11 and Alt+Enter switch fullscreen and modifier keys pressed alone are not keys of the
// game: for them it returns TCODK_NONE. A window exposed, restored, resized or switched to
// or from fullscreen since the last call is drawn again first. Called by the waits for a
// key: run_game, the give-up question, wait_for_space and the title screen.
TCOD_key_t poll_key_press();

// Shows the root console in the window: the game's flush, called after every glyph put.
// Only the cells that changed since the last flush are drawn and sent, at the largest
// whole-number scale that fits the window, centred on black (shrunk with its aspect kept
// in a window smaller than the console). With a renderer other than libtcod's software one
// libtcod draws the whole window, scaled the same way.
void flush_console();

// Draws the whole window again at its current size on the next flush, and flushes.
// Called by poll_key_press after the window has changed.
void redraw_window();

// Draws map cell (x, y): its terrain, then the potion over it if one lies there.
// Monsters and the player are not drawn; callers draw them again afterwards.
void draw_cell(int x, int y);

// Draws the player at (player_x, player_y): '@', or '*' while a rock is carried.
void draw_player();

// Draws all 960 map cells column by column, then the live monsters, then the player.
// Does not clear the console nor draw the status line.
void draw_level();

// Draws the three hearts and the potion and level counts on the bottom row.
// The text is printed without a flush: it shows with the next flush of anything.
void draw_status_line();

// Blanks the message field and prints text from column on the bottom row, then flushes.
// Callers right-align their messages: column is 40 minus the length of the text.
void show_message(int column, const char* text);

// Alternates text with "press space!" in the message field, every 1000 polls, until the
// space bar is pressed or the window is closed. Called by run_game between levels and
// at death.
void wait_for_space(const char* text);

// Shows the title picture and its captions and waits for one key. Escape or 'q' end
// the process with status 0; any other key, or the window closing, returns with the
// default foreground set to grey. Called by main at start and by run_game on giving up.
void show_title_screen();

// The character a key press typed: libtcod reports the unshifted key, so a letter read
// with Shift or Caps Lock comes back upper-case here. 0 for keys without a character.
char typed_character(const TCOD_key_t& key);
