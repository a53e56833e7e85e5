// messages.cpp -- the message field on the bottom row, the space-bar prompt, and the
// character a key press typed.
#include "display/display.h"

#include <SDL.h>

#include <cctype>
#include <cstring>

namespace {

constexpr int BLINK_POLLS = 1000;  // polls per phase of the prompt's blink
constexpr const char* PRESS_SPACE = "press space!";

int right_aligned(const char* text) { return 40 - static_cast<int>(std::strlen(text)); }

}  // namespace

void show_message(int column, const char* text) {
    TCOD_console_print(NULL, MESSAGE_COLUMN, STATUS_ROW, "%s", "                    ");
    TCOD_console_print(NULL, column, STATUS_ROW, "%s", text);
    flush_console();
}

void wait_for_space(const char* text) {
    if (TCOD_console_is_window_closed()) return;
    unsigned polls = 0;
    unsigned blinks = 0;
    for (;;) {
        polls++;
        TCOD_key_t key = poll_key_press();
        if (key.vk != TCODK_NONE && key.c == ' ') return;
        if (polls % BLINK_POLLS == 0) {
            blinks++;
            if (blinks % 2 == 1)
                show_message(right_aligned(PRESS_SPACE), PRESS_SPACE);
            else
                show_message(right_aligned(text), text);
        }
        TCOD_sys_sleep_milli(1);
        if (TCOD_console_is_window_closed()) return;
    }
}

char typed_character(const TCOD_key_t& key) {
    unsigned char c = static_cast<unsigned char>(key.c);
    bool caps_lock = (SDL_GetModState() & KMOD_CAPS) != 0;
    if (std::isalpha(c) && key.shift != caps_lock) return static_cast<char>(std::toupper(c));
    return key.c;
}
