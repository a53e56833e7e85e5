// data_folder.cpp -- finds the folder holding the game's font, pictures and sounds, so that
// the game reads them by bare name wherever it was started from.
#include <cstdio>
#include <string>

#include <unistd.h>

#include "game/game.h"

namespace {

// The font decides: without it libtcod would draw with a font not made for the game.
const char FONT_FILE[] = "terminal.png";

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

bool holds_font(const char* folder) {
    std::string path = std::string(folder) + "/" + FONT_FILE;
    return access(path.c_str(), R_OK) == 0;
}

}  // namespace

bool enter_data_folder() {
    for (const char* folder : DATA_FOLDERS) {
        if (holds_font(folder) && chdir(folder) == 0) return true;
    }
    std::string searched;
    for (const char* folder : DATA_FOLDERS)
        searched += (searched.empty() ? "" : ", ") + std::string(folder);
    std::printf("cannot find %s in %s\n", FONT_FILE, searched.c_str());
    return false;
}
