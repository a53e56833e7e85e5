// process.cpp -- starting and watching the game as a separate process.
#include "support/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>

GameProcess start_game_process(const std::vector<std::string>& environment) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) std::abort();
    int pid = fork();
    if (pid == 0) {
        dup2(pipe_fds[1], STDOUT_FILENO);
        close(pipe_fds[0]);
        close(pipe_fds[1]);
        for (const std::string& setting : environment) putenv(const_cast<char*>(setting.c_str()));
        if (chdir(CRAGMOOR_DATA_DIR) != 0) _exit(127);
        execl(CRAGMOOR_EXE, CRAGMOOR_EXE, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipe_fds[1]);
    fcntl(pipe_fds[0], F_SETFL, O_NONBLOCK);
    return GameProcess{pid, pipe_fds[0]};
}

int wait_for_exit(GameProcess& game, int timeout_ms) {
    for (int waited = 0; waited <= timeout_ms; waited += 10) {
        int status = 0;
        if (waitpid(game.pid, &status, WNOHANG) == game.pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        timespec ten_ms{0, 10 * 1000 * 1000};
        nanosleep(&ten_ms, nullptr);
    }
    kill(game.pid, SIGKILL);
    waitpid(game.pid, nullptr, 0);
    return -1;
}

std::string read_output(GameProcess& game) {
    std::string output;
    char buffer[4096];
    ssize_t length;
    while ((length = read(game.output_fd, buffer, sizeof buffer)) > 0) output.append(buffer, length);
    return output;
}
