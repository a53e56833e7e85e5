// test_give_up.cpp -- the give-up question: q, then two keys of which the second answers.
// The question waits for keys that arrive after it is asked, so they come from a thread.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "call_log.h"
#include "display/display.h"
#include "game/game.h"
#include "game/game_state.h"
#include "support/console.h"

namespace {

using Calls = std::vector<std::string>;
constexpr SDL_Keycode WINDOW_CLOSE = 0;    // in a key script: the window closes
constexpr SDL_Keycode X_THEN_CLOSE = 1;    // in a key script: x and a close at once

class GiveUp : public testing::Test {
  protected:
    void SetUp() override {
        open_test_console();
        make_empty_level();
        game = GameState{10, 10, 1, 3, 0, 0, 0};
        calls.clear();
    }
    void TearDown() override {
        if (typist.joinable()) typist.join();
    }

    // Presses q now and the scripted keys later, 150 ms apart, as a player would.
    void play_q_then(std::vector<SDL_Keycode> later) {
        push_key(SDLK_q);
        typist = std::thread([later] {
            for (SDL_Keycode key : later) {
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                if (key == WINDOW_CLOSE) {
                    push_quit();
                } else if (key == X_THEN_CLOSE) {
                    push_key(SDLK_x);
                    push_quit();
                } else {
                    push_key(key);
                }
            }
        });
        run_game();
    }

    std::thread typist;
};

std::string message_field() { return console_text(20, 24, 20); }

}  // namespace

TEST_F(GiveUp, SecondKeyYShowsTheTitleScreen) {
    play_q_then({SDLK_x, SDLK_y, SDLK_RETURN});  // Return leaves the title screen
    EXPECT_EQ(calls, (Calls{"title"}));
}

TEST_F(GiveUp, FirstKeyIsDiscardedEvenWhenItIsY) {
    play_q_then({SDLK_y, SDLK_n, WINDOW_CLOSE});
    EXPECT_EQ(calls, Calls{});
    EXPECT_EQ(message_field(), "           nevermind");
}

TEST_F(GiveUp, DeclinedQuestionCostsNothing) {
    play_q_then({SDLK_x, SDLK_x, SDLK_d, WINDOW_CLOSE});
    EXPECT_EQ(calls, (Calls{"step", "move_monsters"}));  // only the later step
    EXPECT_EQ(game.player_x, 11);
}

TEST_F(GiveUp, WindowClosedBeforeTheAnswerEndsTheGame) {
    play_q_then({SDLK_x, WINDOW_CLOSE});
    EXPECT_TRUE(TCOD_console_is_window_closed());
    EXPECT_EQ(calls, Calls{});
    EXPECT_EQ(message_field(), "            give up?");
}

// Regression: the wait empties SDL's queue first, which used to drop a close queued with
// the key before it, and the game then hung until the next key press.
TEST_F(GiveUp, CloseQueuedWithTheQuestionIsNotLost) {
    push_key(SDLK_q);
    push_quit();
    run_game();
    EXPECT_TRUE(TCOD_console_is_window_closed());
}

TEST_F(GiveUp, CloseQueuedWithTheFirstKeyIsNotLost) {
    play_q_then({X_THEN_CLOSE});
    EXPECT_TRUE(TCOD_console_is_window_closed());
    EXPECT_EQ(calls, Calls{});
}
