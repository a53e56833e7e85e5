// messages.cpp -- the message field on the bottom row and the space-bar prompt.
#include "display/display.h"

#include <cstring>

#include "platform/platform.h"

namespace {

constexpr int BLINK_POLLS = 1000;  // polls per phase of the prompt's blink
constexpr const char* PRESS_SPACE = "press space!";

}  // namespace

void show_message(const char* text) {
    int width = CONSOLE_COLUMNS - MESSAGE_COLUMN;
    TCOD_console_print(NULL, MESSAGE_COLUMN, STATUS_ROW, "%*s", width, "");
    TCOD_console_print(NULL, CONSOLE_COLUMNS - static_cast<int>(std::strlen(text)), STATUS_ROW,
                       "%s", text);
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
            show_message(blinks % 2 == 1 ? PRESS_SPACE : text);
        }
        pause_game(IDLE_PAUSE_MS);
        if (TCOD_console_is_window_closed()) return;
    }
}

