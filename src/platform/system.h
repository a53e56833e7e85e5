// system.h -- what differs between the systems the game runs on. Each of posix/, windows/
// and web/ holds one system.cpp; the build links the one for its target, so the rest of
// the game never asks which system it is on.
#pragma once

// The folders that may hold the game's data, best first, ending with NULL.
// Called by enter_data_folder once.
const char* const* data_folders();

// Sets SDL's hints for how this system's window is drawn, once video is up and before the
// window opens. Called by open_window.
void choose_renderer();
