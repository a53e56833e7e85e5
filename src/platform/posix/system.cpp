// system.cpp -- Linux and the other desktops a terminal starts the game from: the data is
// installed in a folder of its own, and the player reads the game's lines in the terminal.
#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/system.h"

namespace {

// The working directory first, so that a folder of replacement files wins; then the
// folder the data was installed to; then, for a game run from its build tree, the
// source's data/. The build fills in the last two.
const char* const DATA_FOLDERS[] = {
    ".",
#ifdef CRAGMOOR_INSTALLED_DATA_DIR
    CRAGMOOR_INSTALLED_DATA_DIR,
#endif
#ifdef CRAGMOOR_SOURCE_DATA_DIR
    CRAGMOOR_SOURCE_DATA_DIR,
#endif
    NULL,
};

}  // namespace

const char* const* data_folders() { return DATA_FOLDERS; }

void tell_player(const char* line) { std::printf("%s", line); }

// libtcod 1.18 draws its SDL renderer in software into the window's own pixels; on X,
// SDL would otherwise probe OpenGL for those pixels and load Mesa for nothing (about 90 MB).
// Wayland gives a window no pixels of its own: there SDL needs OpenGL for them.
void choose_renderer() {
    if (std::strcmp(SDL_GetCurrentVideoDriver(), "wayland") != 0)
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}
