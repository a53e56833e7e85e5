// level_time.cpp -- how long a key at the title takes to show level 1, on the system and in
// the display it runs in: the one figure compared between the Linux build and the Windows
// build under Wine (bench/wine-vs-linux.sh). Prints "= name value" lines.
#include <SDL.h>

#include <algorithm>
#include <cstdio>

#include "measure.h"
#include "platform/platform.h"

namespace {

constexpr int RUNS = 15;

}  // namespace

int main(int, char**) {
    if (!enter_data_folder() || SDL_Init(SDL_INIT_AUDIO) < 0 || !open_window()) return 1;
    settle_window();
    double samples[RUNS];
    int flushes = 0, presents = 0;
    for (double& sample : samples) sample = level_ms(flushes, presents);
    std::sort(samples, samples + RUNS);
    int width = 0, height = 0;
    print_window_figures(width, height);
    // The spread shows whether Wine's figure is steady enough to set against Linux's.
    std::printf("= level_ms %.1f (%.1f to %.1f)\n", samples[RUNS / 2], samples[0],
                samples[RUNS - 1]);
    SDL_Quit();
    return 0;
}
