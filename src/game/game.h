// game.h -- game flow: starting a game and playing it turn by turn.
#pragma once

// Resets the game record for a new game, builds level 1 and draws it.
// Called by main before each game; leaves step_counter at 0.
void start_new_game();

// Builds the level of game.dungeon_level and draws it, with the status line, on a clear
// screen; the footstep cycle starts again. Called by start_new_game and on the way down.
void enter_level();

// Plays one game, one key press per turn, until the player is dead and has pressed
// space, has given up and left the title screen, or the window is closed.
// Called by main once per game.
void run_game();

