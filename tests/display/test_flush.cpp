// test_flush.cpp -- the game's flush presents once where libtcod's presents twice; the
// window must show exactly the same pixels after every flush, also once it is resized,
// under the dummy driver and in a real X window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/display.h"
#include "support/console.h"

namespace {

// The glyphs and colours the game puts, so that the frames look like the game's own.
struct Glyph {
    int code;
    TCOD_color_t colour;
};
const Glyph GAME_GLYPHS[] = {
    {219, TCOD_grey},       {219, TCOD_dark_grey}, {42, TCOD_orange}, {62, TCOD_yellow},
    {33, TCOD_cyan},        {1, TCOD_green},       {64, TCOD_white},  {3, TCOD_red},
    {160, TCOD_light_grey}, {42, TCOD_red},
};

std::uint64_t window_pixels_hash() {
    SDL_Renderer* renderer = TCOD_sys_get_sdl_renderer();
    int width = 0, height = 0;
    SDL_GetRendererOutputSize(renderer, &width, &height);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    EXPECT_EQ(
        SDL_RenderReadPixels(renderer, NULL, SDL_PIXELFORMAT_ARGB8888, pixels.data(), width * 4), 0)
        << SDL_GetError();
    std::uint64_t hash =
        1469598103934665603ull ^ (static_cast<std::uint64_t>(width) << 32 | height);
    for (std::uint32_t pixel : pixels) hash = (hash ^ pixel) * 1099511628211ull;
    return hash;
}

// Puts glyphs over the screen one by one, with the unflushed status text and a message
// in between as the game prints them, and notes the window after every flush.
std::vector<std::uint64_t> frames_of(void (*flush)(), int puts) {
    std::vector<std::uint64_t> frames;
    TCOD_console_clear(NULL);
    flush();
    frames.push_back(window_pixels_hash());
    for (int i = 0; i < puts; i++) {
        const Glyph& glyph = GAME_GLYPHS[i % (sizeof GAME_GLYPHS / sizeof GAME_GLYPHS[0])];
        TCOD_console_put_char_ex(NULL, (i * 7) % 40, (i * 3) % 25, glyph.code, glyph.colour,
                                 TCOD_black);
        if (i % 25 == 0) TCOD_console_print(NULL, 3, 24, " pots:%d dlvl:%d  ", i % 12, i / 25);
        if (i % 40 == 0) TCOD_console_print(NULL, 28, 24, "%s", "monster hit!");
        flush();
        frames.push_back(window_pixels_hash());
    }
    return frames;
}

void libtcod_flush() { TCOD_console_flush(); }

void resize_window(int width, int height) {
    SDL_SetWindowSize(TCOD_sys_get_sdl_window(), width, height);
    int shown_width = 0, shown_height = 0;
    for (int tries = 0; tries < 200 && (shown_width != width || shown_height != height); tries++) {
        SDL_PumpEvents();
        SDL_GetRendererOutputSize(TCOD_sys_get_sdl_renderer(), &shown_width, &shown_height);
        SDL_Delay(10);
    }
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    ASSERT_EQ(shown_width, width);
    ASSERT_EQ(shown_height, height);
}

void expect_same_frames(int puts) {
    std::vector<std::uint64_t> by_libtcod = frames_of(libtcod_flush, puts);
    std::vector<std::uint64_t> by_game = frames_of(flush_console, puts);
    ASSERT_EQ(by_libtcod.size(), by_game.size());
    for (std::size_t frame = 0; frame < by_game.size(); frame++)
        ASSERT_EQ(by_game[frame], by_libtcod[frame]) << "frame " << frame;
    EXPECT_NE(by_game.front(), by_game.back()) << "nothing was drawn";
}

}  // namespace

TEST(Flush, ShowsTheSamePixelsAsLibtcodsFlush) {
    open_test_console();
    expect_same_frames(200);
    resize_window(1000, 450);  // stretched out of its proportions
    expect_same_frames(60);
}

TEST(Flush, ShowsTheSamePixelsInARealXWindow) {
    char own_path[4096];
    ssize_t length = readlink("/proc/self/exe", own_path, sizeof own_path - 1);
    ASSERT_GT(length, 0);
    own_path[length] = '\0';
    std::string command =
        "xvfb-run -a -s '-screen 0 1280x1024x24' env SDL_VIDEODRIVER=x11 '" +
        std::string(own_path) +
        "' --gtest_filter=Flush.ShowsTheSamePixelsAsLibtcodsFlush >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}
