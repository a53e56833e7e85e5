// system.cpp -- Windows: the data sits beside cragmoor.exe, which a shortcut may start from
// any folder, and no terminal shows the game's lines, so a message box shows them as well.
#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/system.h"

namespace {

constexpr int FOLDER_SIZE = 1024;  // bytes of UTF-8; the manifest lets Windows take UTF-8 paths
constexpr int LINE_SIZE = 512;

char exe_folder[FOLDER_SIZE];
// The working directory first, so that a folder of replacement files wins; then the
// folder of the program.
const char* folders[] = {".", NULL, NULL};

}  // namespace

const char* const* data_folders() {
    // SDL gives the folder with its closing backslash, which goes, as the game adds its own
    // separator; a drive's root keeps it ("C:" alone is that drive's working directory). A
    // path too long for the record is left out rather than cut short into another's name.
    char* base = SDL_GetBasePath();
    if (base != NULL && std::strlen(base) < FOLDER_SIZE) {
        std::snprintf(exe_folder, sizeof exe_folder, "%s", base);
        std::size_t length = std::strlen(exe_folder);
        if (length > 1 && exe_folder[length - 1] == '\\' && exe_folder[length - 2] != ':')
            exe_folder[length - 1] = '\0';
        folders[1] = exe_folder;
    }
    SDL_free(base);
    return folders;
}

void tell_player(const char* line) {
    std::printf("%s", line);
    std::fflush(stdout);
    char text[LINE_SIZE];
    std::snprintf(text, sizeof text, "%s", line);
    std::size_t length = std::strlen(text);
    if (length > 0 && text[length - 1] == '\n') text[length - 1] = '\0';
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Cragmoor", text, NULL);
}
