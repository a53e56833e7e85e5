// preload.h -- the record that the benchmark and the library preloaded into the built game
// share through a small file mapped by both (BENCH_SHARED_FILE).
#pragma once

#include <atomic>
#include <cstdint>

struct PreloadShared {
    std::atomic<std::int64_t> first_flush_ns;  // CLOCK_MONOTONIC at the end of the first flush
    std::atomic<std::int64_t> last_flush_ns;
    std::atomic<std::int64_t> flush_count;
    std::atomic<std::int32_t> play_keys;  // set by the benchmark: start pushing the keys
};
