// test_wait_for_space.cpp -- the space-bar prompt: what ends it, and its blink counted in polls.
#include <gtest/gtest.h>

#include "display/display.h"
#include "support/console.h"

namespace {

std::string message_field() { return console_text(20, 24, 20); }

class SpacePrompt : public testing::Test {
  protected:
    void SetUp() override {
        open_test_console();
        show_message(31, "squashed!");
        pauses.clear();
    }
    void TearDown() override { on_pause = nullptr; }
};

}  // namespace

TEST_F(SpacePrompt, ClosedWindowReturnsAtOnce) {
    push_quit();
    TCOD_console_check_for_keypress(TCOD_KEY_PRESSED);
    ASSERT_TRUE(TCOD_console_is_window_closed());
    wait_for_space("next level...");
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(message_field(), "           squashed!");
}

TEST_F(SpacePrompt, EarlySpaceEndsItWithNothingDrawn) {
    push_key(SDLK_x);
    push_key(SDLK_RETURN);
    push_key(SDLK_SPACE);
    wait_for_space("next level...");
    EXPECT_EQ(pauses.size(), 2u);  // x and Return were polls of their own
    EXPECT_EQ(message_field(), "           squashed!");
}

TEST_F(SpacePrompt, BlinksEveryThousandPolls) {
    std::vector<std::string> shown;
    on_pause = [&shown] {
        if (pauses.size() == 1500 || pauses.size() == 2500 || pauses.size() == 3500)
            shown.push_back(message_field());
        if (pauses.size() == 1200) push_key(SDLK_a);  // other keys change nothing
        if (pauses.size() == 3600) push_key(SDLK_SPACE);
    };
    wait_for_space("you died!!!");
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], "        press space!");
    EXPECT_EQ(shown[1], "         you died!!!");
    EXPECT_EQ(shown[2], "        press space!");
    EXPECT_EQ(pauses.size(), 3600u);  // no pause after the poll that saw space
    for (unsigned pause : pauses) ASSERT_EQ(pause, 1u);
}

TEST_F(SpacePrompt, WindowClosingEndsTheWait) {
    on_pause = [] {
        if (pauses.size() == 50) push_quit();
    };
    wait_for_space("next level...");
    EXPECT_EQ(pauses.size(), 51u);
    EXPECT_TRUE(TCOD_console_is_window_closed());
}
