// game.h -- game flow: starting a game and playing it turn by turn.
#pragma once

// Resets the game record for a new game, builds level 1 and draws it.
// Called by main before each game; leaves step_counter at 0.
void start_new_game();

// Plays one game, one key press per turn, until the player is dead and has pressed
// space, has given up and left the title screen, or the window is closed.
// Called by main once per game.
void run_game();

// Makes the working directory the game's data folder: the working directory itself if it
// holds the font, else the installed data folder, else the source tree's data/.
// Called by main before anything is loaded. Returns false, having printed one line naming
// the missing font, when no folder holds it.
bool enter_data_folder();
