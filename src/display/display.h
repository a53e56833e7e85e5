// display.h -- everything the player sees: map cells, the player, the status line,
// the message field, the space-bar prompt and the title screen. Every glyph put is
// flushed to the window at once; nothing here changes the game record.
#pragma once

#include <libtcod.h>

constexpr int STATUS_ROW = 24;       // bottom row: status at the left, messages at the right
constexpr int MESSAGE_COLUMN = 20;   // first column of the message field

constexpr int GLYPH_BLOCK = 219;  // the full block: the floor's checkerboard and the heal flash
constexpr int GLYPH_STAR = '*';   // a rock, lying or carried, and the red flash of a hit

// Puts one glyph in the colour on black at (x, y) and flushes. Called for what the game
// flashes over the map (the trail, the heal, a hit) and for the monsters.
void put_glyph(int x, int y, int glyph, TCOD_color_t colour);

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

// Blanks the message field and prints text on the bottom row so that it ends in the last
// column, then flushes.
void show_message(const char* text);

// Alternates text with "press space!" in the message field, every 1000 polls, until the
// space bar is pressed or the window is closed. Called by run_game between levels and
// at death.
void wait_for_space(const char* text);

// Shows the title picture and its captions and waits for one key. Escape or 'q' end
// the process with status 0; any other key, or the window closing, returns with the
// default foreground set to grey. Called by main at start and by run_game on giving up.
void show_title_screen();

