// window_state.h -- what the platform files share about the font and the window; the rest
// of the game sees none of it.
#pragma once

#include <libtcod.h>

#include <cstdint>

constexpr const char* FONT_FILE = "terminal.png";  // the game's glyph sheet, in the data folder
constexpr int FONT_GRID = 16;  // 16 x 16 glyphs, code n in column n / 16, row n % 16

struct WindowState {
    int stale_frames;             // the window changed: frames to show again at once
    bool frame_pending;           // flushed since the console was last shown
    std::uint32_t pending_since;  // SDL ticks at the first flush not yet shown
    TCOD_ViewportOptions* viewport;  // whole-number scale, centred on black
};

extern WindowState window_state;

// Has libtcod draw the root console into the whole window and present it.
// Called by flush_console, pause_game and poll_key_press.
void show_frame();
