// test_window.cpp -- the window: after every flush, and after every change of the window,
// it shows a full render of the console at a whole-number scale, centred on black; the
// window's own keys and modifier keys alone are not keys of the game.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display/display.h"
#include "support/console.h"

// Last: Xlib's macros would clash with the names above.
#include <SDL_syswm.h>
#include <X11/Xutil.h>

namespace {

constexpr int GAME_GLYPHS[] = {219, 42, 62, 33, 1, 64, 3, 160, 'p', 'o'};
const TCOD_color_t GAME_COLOURS[] = {TCOD_grey, TCOD_dark_grey, TCOD_orange, TCOD_yellow,
                                     TCOD_cyan, TCOD_green,     TCOD_white,  TCOD_red};

bool in_x() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return driver != NULL && std::strcmp(driver, "x11") == 0;
}

// The console as libtcod's own tile renderer draws it, at scale 1.
SDL_Surface* render = NULL;

void render_console() {
    TCOD_Console* copy = TCOD_console_new(40, 25);
    TCOD_console_blit(NULL, 0, 0, 40, 25, copy, 0, 0, 1.0f, 1.0f);
    ASSERT_EQ(TCOD_tileset_render_to_surface(TCOD_get_default_tileset(), copy, NULL, &render), 0);
    TCOD_console_delete(copy);
}

std::uint32_t full_render_pixel(int x, int y) {
    Uint8 r, g, b;
    SDL_GetRGB(static_cast<std::uint32_t*>(render->pixels)[y * render->w + x], render->format, &r,
               &g, &b);
    return static_cast<std::uint32_t>(r) << 16 | g << 8 | b;
}

// What the X server shows in the window, pixel by pixel, against the full render.
void expect_window_shows_console(const char* when) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(TCOD_sys_get_sdl_window(), &info));
    int width = 0, height = 0;
    SDL_GetWindowSize(TCOD_sys_get_sdl_window(), &width, &height);
    int scale = std::min(width / 640, height / 400);
    ASSERT_GE(scale, 1) << when;
    int left = (width - 640 * scale) / 2, top = (height - 400 * scale) / 2;
    XImage* image = XGetImage(info.info.x11.display, info.info.x11.window, 0, 0, width, height,
                              AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr) << when;
    render_console();
    int wrong = 0;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            bool inside = x >= left && x < left + 640 * scale && y >= top && y < top + 400 * scale;
            std::uint32_t want =
                inside ? full_render_pixel((x - left) / scale, (y - top) / scale) : 0;
            if ((XGetPixel(image, x, y) & 0xffffff) != want && wrong++ == 0)
                ADD_FAILURE() << when << ": " << width << "x" << height << " pixel " << x << ","
                              << y;
        }
    XDestroyImage(image);
    EXPECT_EQ(wrong, 0) << when;
}

// Reads keys as the game's waits do, until the window has the size or a second has passed,
// then for settle_ms more.
void wait_for_size(int width, int height, int settle_ms = 50) {
    int shown_width = 0, shown_height = 0;
    for (int tries = 0; tries < 1000 && (shown_width != width || shown_height != height); tries++) {
        poll_key_press();
        SDL_GetWindowSize(TCOD_sys_get_sdl_window(), &shown_width, &shown_height);
        SDL_Delay(1);
    }
    for (int tries = 0; tries < settle_ms; tries++, SDL_Delay(1)) poll_key_press();
    ASSERT_EQ(shown_width, width);
    ASSERT_EQ(shown_height, height);
}

void put_and_check(int puts, const char* when) {
    for (int i = 0; i < puts; i++) {
        TCOD_console_put_char_ex(NULL, std::rand() % 40, std::rand() % 25, GAME_GLYPHS[i % 10],
                                 GAME_COLOURS[i % 8], i % 7 ? TCOD_black : TCOD_dark_purple);
        if (i % 5 == 0) TCOD_console_print(NULL, 3, 24, " pots:%d dlvl:%d  ", i, i % 9);
        flush_console();
        expect_window_shows_console(when);
    }
}

}  // namespace

TEST(Window, ModifierKeysAloneAndTheFullscreenKeysAreNotKeysOfTheGame) {
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0);
    ASSERT_TRUE(open_window());
    const SDL_Keycode not_game_keys[] = {SDLK_LSHIFT,   SDLK_RCTRL,        SDLK_LALT, SDLK_LGUI,
                                         SDLK_CAPSLOCK, SDLK_NUMLOCKCLEAR, SDLK_MODE, SDLK_F11};
    for (SDL_Keycode key : not_game_keys) {
        push_key(key);
        for (int poll = 0; poll < 4; poll++)
            EXPECT_EQ(poll_key_press().vk, TCODK_NONE) << SDL_GetKeyName(key);
    }
    push_key(SDLK_a);
    TCOD_key_t key = poll_key_press();
    EXPECT_EQ(key.vk, TCODK_CHAR);
    EXPECT_EQ(key.c, 'a');
}

TEST(WindowInX, ShowsTheConsoleAtEveryScaleAndAfterEveryChangeOfTheWindow) {
    if (!in_x()) GTEST_SKIP() << "runs in the X server of Window.UnderAWindowManager";
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0);
    ASSERT_TRUE(open_window());
    SDL_Window* window = TCOD_sys_get_sdl_window();
    wait_for_size(1280, 800);  // the opening size on a 1920 x 1200 screen
    put_and_check(20, "opening size, scale 2");
    struct Size {
        int width, height;
    };
    for (Size size : {Size{640, 400}, Size{1000, 450}, Size{1280, 800}}) {
        SDL_SetWindowSize(window, size.width, size.height);
        wait_for_size(size.width, size.height);
        expect_window_shows_console("resized, before any flush");
        put_and_check(10, "resized");
    }
    push_key(SDLK_F11);
    wait_for_size(1920, 1200);
    expect_window_shows_console("fullscreen, scale 3, before any flush");
    put_and_check(10, "fullscreen");
    push_key_half(SDLK_LALT, true);
    push_key(SDLK_RETURN);
    push_key_half(SDLK_LALT, false);
    wait_for_size(1280, 800);
    expect_window_shows_console("back from fullscreen, before any flush");
    SDL_MinimizeWindow(window);
    for (int tries = 0; tries < 2000 && !(SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED);
         tries++) {
        poll_key_press();
        SDL_Delay(1);
    }
    ASSERT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED);
    SDL_RestoreWindow(window);
    wait_for_size(1280, 800, 500);  // openbox animates the window's return
    expect_window_shows_console("restored, before any flush");
}

// With another renderer chosen in the environment, libtcod draws the whole window.
TEST(Window, UnderAWindowManager) {
    if (in_x()) GTEST_SKIP() << "started it";
    char own_path[4096];
    ssize_t length = readlink("/proc/self/exe", own_path, sizeof own_path - 1);
    ASSERT_GT(length, 0);
    own_path[length] = '\0';
    for (const char* renderer : {"", "TCOD_RENDERER=sdl2 "}) {
        std::string command = std::string(renderer) +
                              "sh " CRAGMOOR_TESTS_DIR "/display/with_window_manager.sh '" +
                              own_path + "' --gtest_filter=WindowInX.*";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
}
