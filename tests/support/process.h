// process.h -- runs the built game as a process of its own, as a player starts it.
#pragma once

#include <string>
#include <vector>

struct GameProcess {
    int pid;
    int output_fd;  // the game's standard output
};

// Starts the game in the data folder with the given extra environment ("NAME=value").
GameProcess start_game_process(const std::vector<std::string>& environment);

// Waits at most timeout_ms for the game to end; returns its exit status, or -1 when it
// did not end in time (it is then killed) or ended by a signal.
int wait_for_exit(GameProcess& game, int timeout_ms);

// Everything the game has written to standard output so far.
std::string read_output(GameProcess& game);
