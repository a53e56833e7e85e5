// process.cpp -- the built game as a player starts it: the time from process start to its
// first flush, the processor time it uses once its first screen is drawn and waits, and its
// peak resident memory over a whole game played with a fixed run of keys. Flushes and keys
// go through the library preloaded into it (preload.cpp); the game itself knows nothing of
// the benchmark.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench.h"
#include "preload.h"

namespace {

constexpr int GAME_RUNS = 3;
constexpr std::int64_t MS = 1000000;
constexpr std::int64_t DRAWN_TIMEOUT = 30000 * MS;
constexpr std::int64_t QUIET = 300 * MS;  // no flush for this long: the screen waits for a key
constexpr std::int64_t CPU_WINDOW = 1500 * MS;
constexpr std::int64_t PLAY_TIME = 3000 * MS;
constexpr std::int64_t EXIT_TIMEOUT = 10000 * MS;

struct GameRun {
    double first_flush_ms, first_screen_cpu_percent, peak_rss_kb;
};

PreloadShared* map_shared_file(const std::string& path) {
    int file = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    if (file < 0 || ftruncate(file, sizeof(PreloadShared)) != 0) std::exit(1);
    void* mapped =
        mmap(nullptr, sizeof(PreloadShared), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    close(file);
    if (mapped == MAP_FAILED) std::exit(1);
    return static_cast<PreloadShared*>(mapped);
}

pid_t start_game(const std::string& shared_file) {
    std::fflush(stdout);
    pid_t child = fork();
    if (child != 0) return child;
    setenv("LD_PRELOAD", BENCH_PRELOAD, 1);
    setenv("BENCH_SHARED_FILE", shared_file.c_str(), 1);
    if (chdir(CRAGMOOR_DATA_DIR) != 0 || !std::freopen("/dev/null", "w", stdout)) _exit(127);
    execl(CRAGMOOR_EXE, CRAGMOOR_EXE, static_cast<char*>(nullptr));
    _exit(127);
}

// Time on the processor of every thread of the process, from the scheduler's statistics.
std::int64_t game_cpu_ns(pid_t pid) {
    std::string folder = "/proc/" + std::to_string(pid) + "/task";
    DIR* tasks = opendir(folder.c_str());
    if (!tasks) return 0;
    std::int64_t total = 0;
    while (dirent* task = readdir(tasks)) {
        if (task->d_name[0] == '.') continue;
        std::string path = folder + "/" + task->d_name + "/schedstat";
        if (FILE* file = std::fopen(path.c_str(), "r")) {
            long long on_cpu = 0;
            if (std::fscanf(file, "%lld", &on_cpu) == 1) total += on_cpu;
            std::fclose(file);
        }
    }
    closedir(tasks);
    return total;
}

// The first screen is drawn once the game has flushed and then gone quiet.
bool wait_until_drawn(const PreloadShared& record, std::int64_t started) {
    while (now_ns() - started < DRAWN_TIMEOUT) {
        std::int64_t last = record.last_flush_ns;
        if (last != 0 && now_ns() - last >= QUIET) return true;
        sleep_ns(5 * MS);
    }
    std::fprintf(stderr, "the game's first screen was never drawn\n");
    return false;
}

double waiting_cpu_percent(pid_t pid, const PreloadShared& record) {
    std::int64_t flushes = record.flush_count;
    std::int64_t cpu_start = game_cpu_ns(pid), wall_start = now_ns();
    sleep_ns(CPU_WINDOW);
    std::int64_t cpu = game_cpu_ns(pid) - cpu_start, wall = now_ns() - wall_start;
    if (record.flush_count != flushes)
        std::fprintf(stderr, "the first screen drew while waiting\n");
    return 100.0 * cpu / wall;
}

double stop_game(pid_t pid) {
    kill(pid, SIGTERM);
    std::int64_t asked = now_ns();
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (now_ns() - asked > EXIT_TIMEOUT) {
            std::fprintf(stderr, "the game did not end on SIGTERM\n");
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            break;
        }
        sleep_ns(10 * MS);
    }
    return static_cast<double>(usage.ru_maxrss);
}

GameRun run_game_process(int run) {
    std::string shared_file =
        "/tmp/cragmoor-bench-" + std::to_string(getpid()) + "-" + std::to_string(run);
    PreloadShared* record = map_shared_file(shared_file);
    std::int64_t started = now_ns();
    pid_t pid = start_game(shared_file);
    if (!wait_until_drawn(*record, started)) {
        stop_game(pid);
        std::exit(1);
    }
    double cpu = waiting_cpu_percent(pid, *record);
    record->play_keys = 1;
    sleep_ns(PLAY_TIME);
    double peak_rss = stop_game(pid);
    GameRun result{(record->first_flush_ns - started) / 1e6, cpu, peak_rss};
    munmap(record, sizeof(PreloadShared));
    std::remove(shared_file.c_str());
    return result;
}

}  // namespace

void measure_game_process() {
    std::vector<double> first_flush, cpu, rss;
    for (int run = 0; run < GAME_RUNS; run++) {
        GameRun game_run = run_game_process(run);
        first_flush.push_back(game_run.first_flush_ms);
        cpu.push_back(game_run.first_screen_cpu_percent);
        rss.push_back(game_run.peak_rss_kb);
    }
    report("first_flush_ms", median(first_flush));
    report("cpu_first_screen_percent", median(cpu));
    report("peak_rss_kb", median(rss));
}
