// system.cpp -- Linux and the other desktops a terminal starts the game from: the data is
// installed in a folder of its own, and the player reads the game's lines in the terminal.
#include <cstdio>

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
