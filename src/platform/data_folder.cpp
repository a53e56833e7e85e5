// data_folder.cpp -- finds the folder holding the game's font, pictures and sounds, so that
// the game reads them by bare name wherever it was started from.
#include <string>

#include <unistd.h>

#include "platform/platform.h"
#include "platform/system.h"
#include "platform/window_state.h"

namespace {

// The font decides: without it libtcod would draw with a font not made for the game.
constexpr int SMALLEST_TILE = 4;  // pixels; a glyph any smaller shows no letter

// Loaded as libtcod will load it: a file it cannot decode, or whose tiles are too small to
// draw a glyph, counts as missing.
bool holds_usable_font(const char* folder) {
    std::string path = std::string(folder) + "/" + FONT_FILE;
    if (access(path.c_str(), R_OK) != 0) return false;
    TCOD_Tileset* font = TCOD_tileset_load(path.c_str(), FONT_GRID, FONT_GRID, 0, NULL);
    if (font == NULL) return false;
    bool usable = font->tile_width >= SMALLEST_TILE && font->tile_height >= SMALLEST_TILE;
    TCOD_tileset_delete(font);
    return usable;
}

}  // namespace

bool enter_data_folder() {
    const char* const* folders = data_folders();
    for (int n = 0; folders[n] != NULL; n++) {
        if (holds_usable_font(folders[n]) && chdir(folders[n]) == 0) return true;
    }
    std::string line = std::string("cannot find a usable ") + FONT_FILE + " in ";
    for (int n = 0; folders[n] != NULL; n++) line += (n == 0 ? "" : ", ") + std::string(folders[n]);
    tell_player((line + "\n").c_str());
    return false;
}
