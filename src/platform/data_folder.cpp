// data_folder.cpp -- finds the folder holding the game's font, pictures and sounds, so that
// the game reads them by bare name wherever it was started from.
#include <cstdio>
#include <string>

#include <unistd.h>

#include "platform/platform.h"
#include "platform/window_state.h"

namespace {

// The font decides: without it libtcod would draw with a font not made for the game.
constexpr int SMALLEST_TILE = 4;  // pixels; a glyph any smaller shows no letter

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
};

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
    for (const char* folder : DATA_FOLDERS) {
        if (holds_usable_font(folder) && chdir(folder) == 0) return true;
    }
    std::string searched;
    for (const char* folder : DATA_FOLDERS)
        searched += (searched.empty() ? "" : ", ") + std::string(folder);
    std::printf("cannot find a usable %s in %s\n", FONT_FILE, searched.c_str());
    return false;
}
