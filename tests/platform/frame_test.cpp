// frame_test.cpp -- the window as the real flush shows it, and the game's pauses: a closed
// window ends them at once, and keys typed during one wait for the next poll.
#include <SDL.h>

#include <csignal>
#include <cstdint>

#include "platform/platform.h"
#include "support/support.h"

extern "C" void __real__Z10pause_gamej(std::uint32_t milliseconds);  // the game's own pause
extern "C" void __real__Z13flush_consolev();                        // and its own flush

constexpr std::uint32_t AN_HOUR_MS = 3600000;  // a pause that does not end fails at the timeout

static std::vector<Uint32> window_pixels() {
    SDL_Renderer* renderer = TCOD_sys_get_sdl_renderer();
    int width = 0, height = 0;
    SDL_GetRendererOutputSize(renderer, &width, &height);
    std::vector<Uint32> pixels(width * height);
    SDL_RenderReadPixels(renderer, NULL, SDL_PIXELFORMAT_ARGB8888, pixels.data(), width * 4);
    return pixels;
}

// A glyph whose colour alone changes is drawn again.
TEST(Flush, AChangeOfColourAloneReachesTheWindow) {
    start_test();
    std::vector<Uint32> shown[2];
    for (TCOD_color_t colour : {TCOD_white, TCOD_red}) {
        TCOD_console_put_char_ex(NULL, 0, 0, '@', colour, TCOD_black);
        __real__Z13flush_consolev();
        __real__Z10pause_gamej(0);
        shown[colour.g == 0] = window_pixels();
    }
    EXPECT_NE(shown[0], shown[1]);
}

TEST(Pause, KeysTypedDuringItAreReadAfterIt) {
    start_test();
    push_keys("d");
    __real__Z10pause_gamej(5);
    EXPECT_EQ(poll_key_press().c, 'd');
}

// The close button and SIGTERM, which SDL turns into the same close.
TEST(Pause, EndsOnceTheWindowIsClosed) {
    EXPECT_EXIT({ start_test(); push_keys("close"); __real__Z10pause_gamej(AN_HOUR_MS); std::exit(0); },
                testing::ExitedWithCode(0), "");
    EXPECT_EXIT({ start_test(); std::raise(SIGTERM); __real__Z10pause_gamej(AN_HOUR_MS); std::exit(0); },
                testing::ExitedWithCode(0), "");
}
