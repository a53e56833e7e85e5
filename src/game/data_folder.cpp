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

bool enter_first_data_folder(const char* const folders[], int count) {
    for (int i = 0; i < count; i++) {
        if (holds_font(folders[i]) && chdir(folders[i]) == 0) return true;
    }
    std::string searched;
    for (int i = 0; i < count; i++) searched += std::string(i ? ", " : "") + folders[i];
    std::printf("cannot find %s in %s\n", FONT_FILE, searched.c_str());
    return false;
}

bool enter_data_folder() {
    return enter_first_data_folder(DATA_FOLDERS, sizeof DATA_FOLDERS / sizeof DATA_FOLDERS[0]);
}
