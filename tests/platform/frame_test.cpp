// frame_test.cpp -- the game's pauses: a closed window ends them at once, and keys typed
// during one wait for the next poll.
#include <csignal>
#include <cstdint>

#include "platform/platform.h"
#include "support/support.h"

extern "C" void __real__Z10pause_gamej(std::uint32_t milliseconds);  // the unwrapped pause

constexpr std::uint32_t AN_HOUR_MS = 3600000;  // a pause that does not end fails at the timeout

TEST(Pause, KeysTypedDuringItAreReadAfterIt) {
    start_test();
    push_keys("d");
    __real__Z10pause_gamej(5);
    EXPECT_EQ(poll_key_press().c, 'd');
}

// The close button and SIGTERM, which SDL turns into the same close.
TEST(Pause, EndsOnceTheWindowIsClosed) {
    EXPECT_EXIT({ start_test(); push_keys("!"); __real__Z10pause_gamej(AN_HOUR_MS); std::exit(0); },
                testing::ExitedWithCode(0), "");
    EXPECT_EXIT({ start_test(); std::raise(SIGTERM); __real__Z10pause_gamej(AN_HOUR_MS); std::exit(0); },
                testing::ExitedWithCode(0), "");
}
