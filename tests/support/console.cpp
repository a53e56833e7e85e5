// console.cpp -- the root console for tests, and reading it back as text.
#include "support/console.h"

#include <gtest/gtest.h>

#include <cstring>

#include "game/game_state.h"

namespace {

// Glyphs of code page 437 that the game draws, as letters a test can read.
struct GlyphName {
    int code;
    char letter;
};
constexpr GlyphName GLYPH_NAMES[] = {
    {1, 'M'},    // a monster's face
    {3, 'H'},    // a heart
    {160, '~'},  // the trail mark
    {219, '.'},  // floor
};

}  // namespace

void open_test_console() {
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    SDL_SetHint(SDL_HINT_POLL_SENTINEL, "0");
    ASSERT_EQ(TCOD_console_init_root(40, 25, "Cragmoor", false, TCOD_RENDERER_SDL), TCOD_E_OK)
        << TCOD_get_error();
    SDL_StopTextInput();
    TCOD_console_set_default_foreground(NULL, TCOD_grey);
    TCOD_console_set_default_background(NULL, TCOD_black);
}

void make_empty_level() {
    std::memset(map_grid.terrain, TERRAIN_FLOOR, sizeof map_grid.terrain);
    std::memset(map_grid.items, 0, sizeof map_grid.items);
    std::memset(monsters, 0, sizeof monsters);
}

std::string console_text(int x, int y, int length) {
    std::string text;
    for (int column = x; column < x + length; column++) {
        int code = TCOD_console_get_char(NULL, column, y);
        char letter = code >= 32 && code < 127 ? static_cast<char>(code) : '?';
        for (const GlyphName& name : GLYPH_NAMES)
            if (name.code == code) letter = name.letter;
        text += letter;
    }
    return text;
}

std::string console_row(int y) { return console_text(0, y, 40); }

bool same_colour(TCOD_color_t a, TCOD_color_t b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

TCOD_color_t foreground_at(int x, int y) { return TCOD_console_get_char_foreground(NULL, x, y); }

TCOD_color_t background_at(int x, int y) { return TCOD_console_get_char_background(NULL, x, y); }

void push_key_half(SDL_Keycode key, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    SDL_PushEvent(&event);
}

// libtcod follows Shift by the Shift key's own press and release, not by the modifiers
// of the letter's event, so a shifted key is sent as the keyboard sends it.
void push_key(SDL_Keycode key, Uint16 modifiers) {
    bool shifted = (modifiers & KMOD_SHIFT) != 0;
    if (shifted) push_key_half(SDLK_LSHIFT, true);
    push_key_half(key, true);
    push_key_half(key, false);
    if (shifted) push_key_half(SDLK_LSHIFT, false);
}

void push_quit() {
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}
