// test_turn.cpp -- the player's turn driven by key presses pushed into SDL's queue:
// movement, rocks, crushing, potions, what each key press costs, stairs and death.
#include <gtest/gtest.h>

#include <algorithm>

#include "call_log.h"
#include "display/display.h"
#include "game/game.h"
#include "game/game_state.h"
#include "monsters/monsters.h"
#include "support/console.h"

namespace {

using Calls = std::vector<std::string>;

class PlayerTurn : public testing::Test {
  protected:
    void SetUp() override {
        open_test_console();
        make_empty_level();
        monsters[5] = MonsterSlot{39, 0, 2, 1};  // far away, so no crush clears the level
        game = GameState{10, 10, 1, 3, 0, 0, 0};
    }
    void TearDown() override { on_pause = nullptr; }

    // Plays the keys, then closes the window, which ends the game.
    void play(std::initializer_list<SDL_Keycode> keys) {
        TCOD_console_clear(NULL);
        draw_status_line();
        draw_level();
        calls.clear();
        pauses.clear();
        for (SDL_Keycode key : keys) push_key(key);
        push_quit();
        run_game();
    }
};

std::string message_field() { return console_text(20, 24, 20); }

int count(const Calls& log, const std::string& call) {
    return std::count(log.begin(), log.end(), call);
}

}  // namespace

// Each step marks the cell it leaves, then shows it as floor again, then the player.
TEST_F(PlayerTurn, LettersAndArrowsStepOneCellEachAndCostOneMonsterTurn) {
    redraws.clear();
    play({SDLK_d, SDLK_DOWN, SDLK_s, SDLK_LEFT, SDLK_w, SDLK_UP, SDLK_a, SDLK_RIGHT});
    Calls expected;
    for (int key = 0; key < 8; key++)
        expected.insert(expected.end(), {"step", "move_monsters"});
    EXPECT_EQ(calls, expected);
    ASSERT_GE(redraws.size(), 2u);
    EXPECT_EQ(redraws[0].x * 100 + redraws[0].y, 1010);
    EXPECT_EQ(redraws[0].glyph_before, 160);
    EXPECT_TRUE(same_colour(redraws[0].colour_before, TCOD_light_grey));  // 10 + 10 is even
    const Redraw* second = nullptr;
    for (const Redraw& redraw : redraws)
        if (redraw.x == 11 && redraw.y == 10 && !second) second = &redraw;
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->glyph_before, 160);
    EXPECT_TRUE(same_colour(second->colour_before, TCOD_grey));
    EXPECT_EQ(game.player_x * 100 + game.player_y, 1010);
    EXPECT_EQ(console_text(10, 10, 3), "@..");
    EXPECT_TRUE(same_colour(foreground_at(11, 10), TCOD_dark_grey));
    EXPECT_TRUE(same_colour(foreground_at(10, 10), TCOD_white));
}

// Nor do D, W and Q, nor a step off the map's near edges.
TEST_F(PlayerTurn, KeysThatAreNoMoveCostNothing) {
    game.player_x = 0;
    game.player_y = 0;
    for (SDL_Keycode letter : {SDLK_d, SDLK_w, SDLK_q}) push_key(letter, KMOD_LSHIFT);
    play({SDLK_x, SDLK_ESCAPE, SDLK_SPACE, SDLK_2, SDLK_a, SDLK_w});
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(game.player_x * 100 + game.player_y, 0);
    EXPECT_EQ(message_field(), std::string(20, ' '));
}

TEST_F(PlayerTurn, FarMapEdgeStopsTheStepSilently) {
    game.player_x = 39;
    game.player_y = 23;
    play({SDLK_d, SDLK_s});
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(game.player_x * 100 + game.player_y, 3923);
}

TEST_F(PlayerTurn, RockIsPickedUpAndTheMonstersMoveOnce) {
    terrain_at(11, 10) = TERRAIN_ROCK;
    play({SDLK_d});
    EXPECT_EQ(calls, (Calls{"step", "sound getrock.wav", "move_monsters"}));
    EXPECT_EQ(game.rock_carried, 1);
    EXPECT_EQ(terrain_at(11, 10), TERRAIN_FLOOR);
    EXPECT_EQ(console_text(10, 10, 2), ".*");
    EXPECT_TRUE(same_colour(foreground_at(11, 10), TCOD_white));
    EXPECT_EQ(message_field(), "            got rock");
}

TEST_F(PlayerTurn, SecondRockBlocksTheStep) {
    game.rock_carried = 1;
    terrain_at(10, 9) = TERRAIN_ROCK;
    play({SDLK_w});
    EXPECT_EQ(calls, (Calls{"step"}));
    EXPECT_EQ(terrain_at(10, 9), TERRAIN_ROCK);
    EXPECT_EQ(console_text(10, 9, 1) + console_text(10, 10, 1), "**");
    EXPECT_EQ(message_field(), "            blocked.");
}

TEST_F(PlayerTurn, CarriedRockGivesTheMonstersTwoMoves) {
    game.rock_carried = 1;
    play({SDLK_d});
    EXPECT_EQ(calls, (Calls{"step", "move_monsters", "move_monsters"}));
}

TEST_F(PlayerTurn, MonsterBlocksEmptyHands) {
    monsters[0] = MonsterSlot{11, 10, 2, 1};
    play({SDLK_d});
    EXPECT_EQ(calls, (Calls{"step"}));
    EXPECT_EQ(monsters[0].state, 2);
    EXPECT_EQ(console_text(10, 10, 1), "@");
    EXPECT_EQ(message_field(), "            blocked.");
}

TEST_F(PlayerTurn, CrushLeavesTheRockAndDrawsThePlayerBack) {
    game.rock_carried = 1;
    monsters[0] = MonsterSlot{11, 10, 2, 1};
    play({SDLK_d});
    EXPECT_EQ(calls, (Calls{"step", "sound squash.wav", "move_monsters"}));
    EXPECT_EQ(std::count(pauses.begin(), pauses.end(), 750u), 1);
    EXPECT_EQ(monsters[0].state, 0);
    EXPECT_EQ(game.rock_carried, 0);
    EXPECT_EQ(terrain_at(11, 10), TERRAIN_ROCK);
    EXPECT_EQ(console_text(10, 10, 2), "@*");
    EXPECT_TRUE(same_colour(foreground_at(11, 10), TCOD_orange));
    EXPECT_EQ(message_field(), "           squashed!");
}

TEST_F(PlayerTurn, MonsterOnARockIsCrushedWithThatRock) {
    terrain_at(11, 10) = TERRAIN_ROCK;
    monsters[0] = MonsterSlot{11, 10, 2, 1};
    play({SDLK_d});
    EXPECT_EQ(calls, (Calls{"step", "sound getrock.wav", "sound squash.wav", "move_monsters"}));
    EXPECT_EQ(terrain_at(11, 10), TERRAIN_ROCK);
    EXPECT_EQ(game.rock_carried, 0);
    EXPECT_EQ(game.player_x, 10);
}

TEST_F(PlayerTurn, CrushOnTheStaircaseReplacesItWithTheRock) {
    terrain_at(11, 10) = TERRAIN_STAIRS;
    game.rock_carried = 1;
    monsters[0] = MonsterSlot{11, 10, 2, 1};
    play({SDLK_d});
    EXPECT_EQ(terrain_at(11, 10), TERRAIN_ROCK);
    EXPECT_EQ(game.dungeon_level, 1);
    EXPECT_EQ(count(calls, "move_monsters"), 1);
}

TEST_F(PlayerTurn, LastCrushClearsTheLevelAndCollectsLyingPotions) {
    monsters[5].state = 0;
    monsters[0] = MonsterSlot{11, 10, 2, 1};
    game.rock_carried = 1;
    game.potions = 255;
    game.step_counter = 4;
    item_at(3, 3) = 1;
    item_at(30, 20) = 1;
    play({SDLK_d, SDLK_SPACE});
    EXPECT_EQ(calls,
              (Calls{"step", "sound squash.wav", "sound escape.wav", "prompt next level...", "level 2"}));
    EXPECT_EQ(game.step_counter, 0);
    EXPECT_EQ(console_text(3, 24, 15), " pots:1 dlvl:2 ");  // 255 + 2 wraps
    EXPECT_EQ(console_text(game.player_x, game.player_y, 1), "@");
}

TEST_F(PlayerTurn, PotionIsPickedUpByWalkingOntoIt) {
    item_at(11, 10) = 1;
    play({SDLK_d});
    EXPECT_EQ(calls, (Calls{"step", "sound getpotion.wav", "move_monsters"}));
    EXPECT_EQ(item_at(11, 10), 0);
    EXPECT_EQ(console_text(3, 24, 8), " pots:1 ");
    EXPECT_EQ(message_field(), "         got potion!");
}

TEST_F(PlayerTurn, DrinkingHealsBelowFullHealth) {
    game.hit_points = 2;
    game.potions = 1;
    std::string flash;
    on_pause = [&flash] {
        if (pauses.back() == 1000) flash = console_text(10, 10, 1) + message_field();
    };
    play({SDLK_1});
    EXPECT_EQ(calls, (Calls{"sound heal.wav", "move_monsters"}));
    EXPECT_EQ(flash, std::string(1, '.') + "             healed!");
    EXPECT_EQ(game.potions, 0);
    EXPECT_EQ(console_text(10, 10, 1), "@");
    EXPECT_TRUE(same_colour(foreground_at(2, 24), TCOD_red));
}

TEST_F(PlayerTurn, DrinkingAtFullHealthWastesThePotion) {
    game.potions = 2;
    play({SDLK_1});
    EXPECT_EQ(calls, (Calls{"move_monsters"}));
    EXPECT_EQ(console_text(0, 24, 11), "HHH pots:1 ");
    EXPECT_EQ(message_field(), "          no effect!");
}

TEST_F(PlayerTurn, NoPotionCostsNothing) {
    play({SDLK_1});
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(message_field(), "          no potion!");
}

TEST_F(PlayerTurn, StaircaseLeadsToTheNextLevel) {
    terrain_at(10, 11) = TERRAIN_STAIRS;
    game.step_counter = 3;
    game.potions = 4;
    play({SDLK_s, SDLK_SPACE});
    EXPECT_EQ(calls, (Calls{"step", "sound escape.wav", "prompt next level...", "level 2"}));
    EXPECT_EQ(game.step_counter, 0);
    EXPECT_EQ(console_text(0, 24, 17), "HHH pots:4 dlvl:2");
    EXPECT_EQ(count_live_monsters(), 2);
}

TEST_F(PlayerTurn, DeadPlayerIsToldAndTheGameEnds) {
    game.hit_points = 0;
    push_key(SDLK_SPACE);
    calls.clear();
    run_game();
    EXPECT_EQ(calls, (Calls{"prompt you died!!!"}));
    EXPECT_FALSE(TCOD_console_is_window_closed());
}
