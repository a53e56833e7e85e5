// window_test.cpp -- the game's window in a real X server with a window manager: after every
// flush and every change of the window it shows a full render of the console at a
// whole-number scale, centred on black; its own keys and modifier keys alone are no game keys.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "display/display.h"
#include "game/game.h"

// Last: Xlib's macros would clash with the names above.
#include <SDL_syswm.h>
#include <X11/Xutil.h>

namespace {

void push(SDL_Keycode key, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.keysym = SDL_Keysym{SDL_GetScancodeFromKey(key), key, 0, 0};
    SDL_PushEvent(&event);
}

// Every X pixel of the window against libtcod's own render of the console at scale 1.
void expect_window_shows_console(const char* when) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(TCOD_sys_get_sdl_window(), &info));
    int width = 0, height = 0, wrong = 0;
    SDL_GetWindowSize(TCOD_sys_get_sdl_window(), &width, &height);
    int scale = std::min(width / 640, height / 400);
    int left = (width - 640 * scale) / 2, top = (height - 400 * scale) / 2;
    XImage* image = XGetImage(info.info.x11.display, info.info.x11.window, 0, 0, width, height,
                              AllPlanes, ZPixmap);
    ASSERT_TRUE(image != nullptr && scale >= 1) << when;
    TCOD_Console* copy = TCOD_console_new(40, 25);
    TCOD_console_blit(NULL, 0, 0, 40, 25, copy, 0, 0, 1.0f, 1.0f);
    SDL_Surface* render = NULL;
    ASSERT_EQ(TCOD_tileset_render_to_surface(TCOD_get_default_tileset(), copy, NULL, &render), 0);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            int rx = (x - left) / scale, ry = (y - top) / scale;
            Uint8 r = 0, g = 0, b = 0;
            if (x >= left && y >= top && rx < 640 && ry < 400)
                SDL_GetRGB(static_cast<std::uint32_t*>(render->pixels)[ry * render->w + rx],
                           render->format, &r, &g, &b);
            if ((XGetPixel(image, x, y) & 0xffffff) != (std::uint32_t(r) << 16 | g << 8 | b))
                wrong++;
        }
    EXPECT_EQ(wrong, 0) << when << ", " << width << "x" << height;
    SDL_FreeSurface(render);
    TCOD_console_delete(copy);
    XDestroyImage(image);
}

// Reads keys as the game's waits do until the window has the size, then settle_ms more.
void wait_for_size(int width, int height, int settle_ms = 50) {
    int w = 0, h = 0;
    for (int tries = 0; tries < 1000 && (w != width || h != height); tries++, SDL_Delay(1)) {
        poll_key_press();
        SDL_GetWindowSize(TCOD_sys_get_sdl_window(), &w, &h);
    }
    for (int tries = 0; tries < settle_ms; tries++, SDL_Delay(1)) poll_key_press();
    ASSERT_EQ(w * 10000 + h, width * 10000 + height);
}

void put_and_check(int puts, const char* when) {
    const int glyphs[] = {219, 42, 62, 33, 1, 64, 3, 160, 'p'};
    const TCOD_color_t colours[] = {TCOD_grey, TCOD_orange, TCOD_cyan, TCOD_green, TCOD_red};
    for (int i = 0; i < puts; i++) {
        TCOD_console_put_char_ex(NULL, std::rand() % 40, std::rand() % 25, glyphs[i % 9],
                                 colours[i % 5], i % 3 ? TCOD_black : TCOD_dark_purple);
        flush_console();
        expect_window_shows_console(when);
    }
}

// F11 twice: fullscreen and back, as the window's checks expect it.
void expect_no_game_keys() {
    for (SDL_Keycode key : {SDLK_LSHIFT, SDLK_RCTRL, SDLK_LALT, SDLK_LGUI, SDLK_CAPSLOCK,
                            SDLK_NUMLOCKCLEAR, SDLK_MODE, SDLK_F11, SDLK_F11, SDLK_a}) {
        push(key, true);
        push(key, false);
        TCOD_key_t read{};
        for (int poll = 0; poll < 4 && read.vk == TCODK_NONE; poll++) read = poll_key_press();
        EXPECT_EQ(read.c, key == SDLK_a ? 'a' : 0) << SDL_GetKeyName(key);
    }
}

}  // namespace

// One test: libtcod opens its window once in a process.
TEST(Window, ShowsTheConsoleAtEveryScaleAndAfterEveryChangeAndKeepsItsOwnKeys) {
    ASSERT_TRUE(enter_data_folder() && SDL_Init(SDL_INIT_AUDIO) == 0 && open_window());
    expect_no_game_keys();
    SDL_Window* window = TCOD_sys_get_sdl_window();
    wait_for_size(1280, 800);  // the opening size on a 1920 x 1200 screen
    put_and_check(10, "opening size, scale 2");
    for (auto [width, height] : {std::pair{640, 400}, {1000, 450}, {1280, 800}}) {
        SDL_SetWindowSize(window, width, height);
        wait_for_size(width, height);
        expect_window_shows_console("resized, before any flush");
        put_and_check(5, "resized");
    }
    push(SDLK_F11, true);
    wait_for_size(1920, 1200);
    put_and_check(5, "fullscreen, scale 3");
    push(SDLK_LALT, true);
    push(SDLK_RETURN, true);
    push(SDLK_LALT, false);
    wait_for_size(1280, 800);
    expect_window_shows_console("back from fullscreen, before any flush");
    SDL_MinimizeWindow(window);
    for (int tries = 0; tries < 2000 && !(SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED);
         tries++, SDL_Delay(1))
        poll_key_press();
    ASSERT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED);
    SDL_RestoreWindow(window);
    wait_for_size(1280, 800, 500);  // openbox animates the window's return
    expect_window_shows_console("restored, before any flush");
}
