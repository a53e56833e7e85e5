// system.cpp -- the web page: the data files are packed into the page's file system under
// /data, and the lines the game tells the player are shown in the page as well.
#include <SDL.h>
#include <emscripten.h>

#include <cstdio>

#include "platform/platform.h"
#include "platform/system.h"

namespace {

const char* const DATA_FOLDERS[] = {"/data", NULL};

}  // namespace

const char* const* data_folders() { return DATA_FOLDERS; }

// The console a browser keeps is out of the player's sight: the page shows the line too.
void tell_player(const char* line) {
    std::printf("%s", line);
    std::fflush(stdout);
    EM_ASM({ if (Module.tellPlayer) Module.tellPlayer(UTF8ToString($0)); }, line);
}

// SDL's own renderer for a canvas is WebGL; as on X, should it fall back to its software
// renderer (a browser without WebGL), that draws into the canvas's own pixels.
void choose_renderer() { SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0"); }
