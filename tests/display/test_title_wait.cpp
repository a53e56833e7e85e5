// test_title_wait.cpp -- what the title screen does with the keys and the window: Escape
// and 'q' end the program, everything else starts a game, and the wait sleeps between polls.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "display/display.h"
#include "support/console.h"

namespace {

// A test that wants the screen to return would pass unnoticed if the screen ended the
// process with status 0, so such an end is turned into a failing status.
bool exit_is_a_fault = false;
void fail_on_exit() {
    if (exit_is_a_fault) _exit(99);
}

class TitleWait : public testing::Test {
  protected:
    void SetUp() override {
        open_test_console();
        std::atexit(fail_on_exit);
        pauses.clear();
    }
    void TearDown() override {
        on_pause = nullptr;
        exit_is_a_fault = false;
        SDL_SetModState(KMOD_NONE);
    }
};

// Shows the screen for a key already queued: it must return, take the key, and leave the
// game's text colour.
void expect_return_on_key(const char* what) {
    TCOD_console_set_default_foreground(NULL, TCOD_red);
    show_title_screen();
    EXPECT_TRUE(same_colour(TCOD_console_get_default_foreground(NULL), TCOD_grey)) << what;
    EXPECT_EQ(TCOD_console_check_for_keypress(TCOD_KEY_PRESSED).vk, TCODK_NONE)
        << what << " was left for the game";
    EXPECT_FALSE(TCOD_console_is_window_closed()) << what;
}

}  // namespace

TEST_F(TitleWait, EscapeAndLowerCaseQEndTheProgramAtOnce) {
    // A pause before the end would mean the key was not taken on the first poll.
    for (SDL_Keycode key : {SDLK_ESCAPE, SDLK_q}) {
        EXPECT_EXIT(
            {
                on_pause = [] { _exit(3); };
                push_key(key);
                show_title_screen();
            },
            testing::ExitedWithCode(0), "")
            << SDL_GetKeyName(key);
    }
}

TEST_F(TitleWait, EveryOtherKeyReturnsAndIsConsumed) {
    exit_is_a_fault = true;
    const SDL_Keycode keys[] = {SDLK_a, SDLK_y, SDLK_UP, SDLK_F1, SDLK_SPACE, SDLK_RETURN};
    for (SDL_Keycode key : keys) {
        push_key(key);
        expect_return_on_key(SDL_GetKeyName(key));
    }
}

TEST_F(TitleWait, UpperCaseQStartsAGame) {
    exit_is_a_fault = true;
    // Shift held since before the screen appeared: libtcod knows it from its own press.
    push_key_half(SDLK_LSHIFT, true);
    ASSERT_EQ(TCOD_console_check_for_keypress(TCOD_KEY_PRESSED).vk, TCODK_SHIFT);
    push_key(SDLK_q);
    expect_return_on_key("Shift+q");
    push_key_half(SDLK_LSHIFT, false);
    TCOD_console_check_for_keypress(TCOD_KEY_PRESSED);
    SDL_SetModState(KMOD_CAPS);
    push_key(SDLK_q, KMOD_CAPS);
    expect_return_on_key("Caps Lock q");
}

TEST_F(TitleWait, ReleasesNeverEndItAndEachIdlePollSleepsOneMillisecond) {
    exit_is_a_fault = true;
    // The releases of the keys that gave up a game, and of the ones that would end it.
    push_key_half(SDLK_y, false);
    push_key_half(SDLK_q, false);
    push_key_half(SDLK_ESCAPE, false);
    on_pause = [] {
        if (pauses.size() == 20) push_key(SDLK_x);
    };
    show_title_screen();
    EXPECT_EQ(pauses.size(), 20u);
    for (unsigned pause : pauses) ASSERT_EQ(pause, 1u);
}

TEST_F(TitleWait, ClosingTheWindowReturnsNormally) {
    exit_is_a_fault = true;
    on_pause = [] {
        if (pauses.size() == 10) push_quit();
    };
    show_title_screen();
    EXPECT_EQ(pauses.size(), 10u);
    EXPECT_TRUE(TCOD_console_is_window_closed());
    EXPECT_TRUE(same_colour(TCOD_console_get_default_foreground(NULL), TCOD_grey));
}
