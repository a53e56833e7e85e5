// sound_latency.cpp -- how long after its play_sound a sound starts, read from the stream that
// SDL's disk audio driver writes at real-time pace. Run by hand, never part of the tests:
//   build/bench/cragmoor_sound_latency
#include <SDL.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "sound/sound.h"

// The game's own clips are mono 16-bit at 22050 Hz.
constexpr int RATE = 22050;
constexpr int BYTES_PER_FRAME = 2;
constexpr std::int16_t CLIP_FRAMES = RATE / 2;
constexpr int PLAYS = 100;
// Gaps between plays as between a player's quick key presses.
constexpr int SHORTEST_GAP_MS = 50;
constexpr int LONGEST_GAP_MS = 250;

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Its samples count up from 1, so wherever a 1 comes, the clip starts.
void write_counting_clip(const char* name) {
    std::vector<std::int16_t> samples(CLIP_FRAMES);
    for (std::int16_t i = 0; i < CLIP_FRAMES; i++) samples[i] = i + 1;
    const std::uint32_t bytes = CLIP_FRAMES * BYTES_PER_FRAME;
    const std::uint32_t header[] = {0x46464952, 36 + bytes, 0x45564157, 0x20746d66, 16,
                                    1u | 1u << 16, RATE, RATE * BYTES_PER_FRAME,
                                    BYTES_PER_FRAME | 16u << 16, 0x61746164, bytes};
    std::ofstream file(name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(header), sizeof header);
    file.write(reinterpret_cast<const char*>(samples.data()), bytes);
}

std::vector<std::int16_t> read_stream(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    std::vector<std::int16_t> frames(bytes.size() / BYTES_PER_FRAME);
    std::copy(bytes.begin(), bytes.begin() + frames.size() * BYTES_PER_FRAME,
              reinterpret_cast<char*>(frames.data()));
    return frames;
}

// Milliseconds into the stream at which each clip starts.
std::vector<double> clip_starts(const std::vector<std::int16_t>& frames) {
    std::vector<double> starts;
    for (std::size_t i = 0; i + 1 < frames.size(); i++) {
        if (frames[i] == 1 && frames[i + 1] == 2) starts.push_back(i * 1000.0 / RATE);
    }
    return starts;
}

// The times of the plays, in milliseconds since the first one opened the device.
std::vector<double> play_at_random_gaps() {
    std::mt19937 random(1);
    std::uniform_int_distribution<int> gap(SHORTEST_GAP_MS, LONGEST_GAP_MS);
    std::vector<double> played;
    Clock::time_point start = Clock::now();
    for (int i = 0; i < PLAYS; i++) {
        played.push_back(ms_since(start));
        play_sound("count.wav");
        SDL_Delay(gap(random));
    }
    SDL_Delay(LONGEST_GAP_MS);
    return played;
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * (values.size() - 1))];
}

struct Delay { double played, ms; };

// Each clip start in the stream answers the last play before it; a play that no start
// answers was cut off before it was heard. The first start opens the stream a moment
// before the clock read for its play.
std::vector<Delay> match(const std::vector<double>& played, const std::vector<double>& starts) {
    std::vector<Delay> delays;
    for (double start : starts) {
        auto after = std::upper_bound(played.begin(), played.end(), start + 1.0);
        if (after != played.begin()) delays.push_back({*(after - 1), start - *(after - 1)});
    }
    return delays;
}

// Classic SDL2's disk driver sleeps whole milliseconds (23 for a 23.2 ms buffer), so its
// stream runs a little ahead of the clock. The plays fall at random places in the buffers,
// so the delays' trend over time is that drift alone; it is taken out.
double drift(const std::vector<Delay>& delays) {
    double n = delays.size(), t = 0, d = 0, tt = 0, td = 0;
    for (const Delay& delay : delays) {
        t += delay.played, d += delay.ms, tt += delay.played * delay.played;
        td += delay.played * delay.ms;
    }
    return (n * td - t * d) / (n * tt - t * t);
}

void report(const std::vector<double>& played, const std::vector<double>& starts) {
    std::vector<Delay> delays = match(played, starts);
    std::printf("plays %zu, heard %zu, cut off unheard %zu\n", played.size(), delays.size(),
                played.size() - delays.size());
    if (delays.size() < 2) return;
    double ahead = drift(delays);
    std::vector<double> ms;
    for (const Delay& delay : delays) ms.push_back(delay.ms - ahead * delay.played);
    std::printf("disk stream ahead of the clock by %.2f%%\n", ahead * 100);
    std::printf("delay from play_sound to the sound: median %.1f ms, 90%% %.1f ms, max %.1f ms\n",
                percentile(ms, 0.5), percentile(ms, 0.9), percentile(ms, 1.0));
}

int main() {
    char folder[] = "/tmp/cragmoor-sound-latency-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) return 1;
    const std::string stream = std::string(folder) + "/stream.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", stream.c_str(), 1);
    write_counting_clip("count.wav");
    if (SDL_Init(SDL_INIT_AUDIO) != 0) return 1;
    std::vector<double> played = play_at_random_gaps();
    SDL_Quit();
    std::vector<std::int16_t> frames = read_stream(stream);
    std::printf("stream %.0f ms for %.0f ms of plays\n", frames.size() * 1000.0 / RATE,
                played.back() + LONGEST_GAP_MS);
    report(played, clip_starts(frames));
    std::remove(stream.c_str());
    std::remove("count.wav");
    rmdir(folder);
}
