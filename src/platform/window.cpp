// window.cpp -- the game's window: opening it at a size fit for the display, with its font,
// icon and class, and reading key presses with the window's own keys and events handled.
#include <SDL.h>

#include <cctype>
#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/system.h"
#include "platform/window_state.h"

namespace {

constexpr const char* WINDOW_CLASS = "io.cragmoor.Cragmoor";  // the desktop entry's id
constexpr const char* ICON_FILE = "icon.png";
constexpr int FRAME_TRIES = 10, FRAME_TRY_MS = 10;  // how long to wait for the window's frame
// Mesa's software OpenGL takes a window's new size only at the swap after the change: a
// changed window is shown twice.
constexpr int STALE_FRAMES = 2;

// Keys that only modify others: a window-manager shortcut such as Alt+Tab starts with one.
constexpr TCOD_keycode_t MODIFIER_KEYS[] = {
    TCODK_SHIFT, TCODK_CONTROL, TCODK_ALT, TCODK_LWIN, TCODK_RWIN, TCODK_CAPSLOCK, TCODK_NUMLOCK,
};

// Runs as SDL queues each event, so that no event is missed whoever takes it off the queue.
int note_window_event(void*, SDL_Event* event) {
    if (event->type != SDL_WINDOWEVENT) return 1;
    switch (event->window.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_RESIZED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            window_state.stale_frames = STALE_FRAMES;
            break;
        default:
            break;
    }
    return 1;
}

// The largest whole multiple of the console's size that fits the display's usable area
// with the window's frame; the window never shrinks below one whole scale.
void fit_to_display(SDL_Window* window) {
    int tile_width = 0, tile_height = 0;
    TCOD_sys_get_char_size(&tile_width, &tile_height);
    int width = CONSOLE_COLUMNS * tile_width, height = CONSOLE_ROWS * tile_height;
    SDL_SetWindowMinimumSize(window, width, height);
    int display = SDL_GetWindowDisplayIndex(window);
    SDL_Rect usable;
    if (display < 0 || SDL_GetDisplayUsableBounds(display, &usable) != 0) return;
    int top = 0, left = 0, bottom = 0, right = 0;
    // A window manager frames the window once it is shown: SDL hears of it from its events.
    for (int tries = 0; tries < FRAME_TRIES; tries++, SDL_Delay(FRAME_TRY_MS)) {
        SDL_PumpEvents();
        if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) != 0 || top != 0) break;
    }
    int scale_x = (usable.w - left - right) / width, scale_y = (usable.h - top - bottom) / height;
    int scale = scale_x < scale_y ? scale_x : scale_y;
    if (scale < 1) scale = 1;
    SDL_SetWindowSize(window, width * scale, height * scale);
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
}

// The icon is a nicety: without its file the window keeps the desktop's default.
void set_icon(SDL_Window* window) {
    TCOD_Image* image = TCOD_image_load(ICON_FILE);
    if (image == NULL) return;
    int width = 0, height = 0;
    TCOD_image_get_size(image, &width, &height);
    SDL_Surface* icon =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
    if (icon != NULL) {
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) {
                TCOD_color_t colour = TCOD_image_get_pixel(image, x, y);
                auto* row = reinterpret_cast<std::uint32_t*>(
                    static_cast<std::uint8_t*>(icon->pixels) + y * icon->pitch);
                row[x] = SDL_MapRGB(icon->format, colour.r, colour.g, colour.b);
            }
        SDL_SetWindowIcon(window, icon);
        SDL_FreeSurface(icon);
    }
    TCOD_image_delete(image);
}

void toggle_fullscreen() {
    SDL_Window* window = TCOD_sys_get_sdl_window();
    if (window == NULL) return;
    bool fullscreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
    SDL_SetWindowFullscreen(window, fullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    window_state.stale_frames = STALE_FRAMES;
}

bool is_fullscreen_key(const TCOD_key_t& key) {
    bool enter = key.vk == TCODK_ENTER || key.vk == TCODK_KPENTER;
    return key.vk == TCODK_F11 || (enter && (key.lalt || key.ralt));
}

// libtcod has no code for Caps Lock or AltGr: it reports them, like any key it does not
// name, as a character key without a character.
bool is_modifier_alone(const TCOD_key_t& key) {
    if (key.vk == TCODK_CHAR && key.c == 0) return true;
    for (TCOD_keycode_t modifier : MODIFIER_KEYS)
        if (key.vk == modifier) return true;
    return false;
}

}  // namespace

bool open_window() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        tell_player((std::string(SDL_GetError()) + "\n").c_str());
        return false;
    }
    choose_renderer();
    // SDL's poll sentinel would hide a window close from libtcod's key reads.
    SDL_SetHint(SDL_HINT_POLL_SENTINEL, "0");
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", WINDOW_CLASS, 1);
    SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", WINDOW_CLASS, 1);
    // Set here rather than left to libtcod, whose fallback for a font it cannot load is a
    // TrueType font without the game's glyphs.
    if (TCOD_console_set_custom_font(FONT_FILE, TCOD_FONT_LAYOUT_ASCII_INCOL, FONT_GRID,
                                     FONT_GRID) < 0 ||
        TCOD_console_init_root(CONSOLE_COLUMNS, CONSOLE_ROWS, "Cragmoor", false,
                               TCOD_RENDERER_SDL) != TCOD_E_OK) {
        tell_player((std::string(TCOD_get_error()) + "\n").c_str());
        return false;
    }
    // SDL2 would report every typed letter a second time as text input.
    SDL_StopTextInput();
    SDL_AddEventWatch(note_window_event, NULL);
    SDL_Window* window = TCOD_sys_get_sdl_window();
    if (window != NULL) {
        fit_to_display(window);
        set_icon(window);
    }
    return true;
}

TCOD_key_t poll_key_press() {
    TCOD_key_t key = TCOD_console_check_for_keypress(TCOD_KEY_PRESSED);
    if (key.vk != TCODK_NONE && is_fullscreen_key(key)) {
        toggle_fullscreen();
        key = TCOD_key_t{};
    }
    if (is_modifier_alone(key)) key = TCOD_key_t{};
    if (window_state.stale_frames > 0) {
        window_state.stale_frames--;
        show_frame();
    }
    return key;
}

char typed_character(const TCOD_key_t& key) {
    unsigned char c = static_cast<unsigned char>(key.c);
    bool caps_lock = (SDL_GetModState() & KMOD_CAPS) != 0;
    if (std::isalpha(c) && key.shift != caps_lock) return static_cast<char>(std::toupper(c));
    return key.c;
}
