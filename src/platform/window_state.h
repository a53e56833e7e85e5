// window_state.h -- what the platform files share about the window; the rest of the game
// sees none of it.
#pragma once

#include <libtcod.h>

#include <cstdint>

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
