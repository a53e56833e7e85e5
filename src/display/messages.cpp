// messages.cpp -- the message field on the bottom row and the space-bar prompt.
#include "display/display.h"

#include <cstring>

#include "platform/platform.h"

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
        pause_game(1);
        if (TCOD_console_is_window_closed()) return;
    }
}

