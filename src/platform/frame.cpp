// frame.cpp -- showing the root console in the window, and the game's pauses.
#include <SDL.h>

#include <algorithm>

#include "platform/platform.h"
#include "platform/window_state.h"

namespace {

constexpr std::uint32_t FRAME_MS = 16;        // a 60 Hz display shows nothing faster
constexpr std::uint32_t PAUSE_SLICE_MS = 10;  // how often a pause looks for the window's close

// SDL notices a close (and turns SIGTERM into one) only while it reads events: the pause
// reads them into the queue, where keys wait for the next poll and a close ends the pause.
bool close_queued() {
    return TCOD_console_is_window_closed() ||
           SDL_PeepEvents(NULL, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0;
}

}  // namespace

WindowState window_state;

void show_frame() {
    if (window_state.viewport == NULL) {
        window_state.viewport = TCOD_viewport_new();
        window_state.viewport->keep_aspect = true;
        window_state.viewport->integer_scaling = true;
        window_state.viewport->clear_color = TCOD_ColorRGBA{0, 0, 0, 255};
        window_state.viewport->align_x = 0.5f;
        window_state.viewport->align_y = 0.5f;
    }
    TCOD_console_flush_ex(NULL, window_state.viewport);
    window_state.frame_pending = false;
}

// Each present redraws the whole window, which costs milliseconds on a large one: a level's
// thousand flushes are shown a frame at a time, not a thousand times.
void flush_console() {
    std::uint32_t now = SDL_GetTicks();
    if (!window_state.frame_pending) {
        window_state.frame_pending = true;
        window_state.pending_since = now;
    } else if (now - window_state.pending_since >= FRAME_MS) {
        show_frame();
    }
}

void pause_game(std::uint32_t milliseconds) {
    if (window_state.frame_pending) show_frame();
    std::uint32_t start = SDL_GetTicks();
    for (;;) {
        SDL_PumpEvents();
        std::uint32_t waited = SDL_GetTicks() - start;
        if (close_queued() || waited >= milliseconds) return;
        TCOD_sys_sleep_milli(std::min(milliseconds - waited, PAUSE_SLICE_MS));
    }
}
