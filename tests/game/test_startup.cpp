// test_startup.cpp -- the reset that begins every game. The process's start and end are
// played end to end (tests/e2e).
#include <gtest/gtest.h>

#include <vector>

#include "game/game.h"
#include "game/game_state.h"
#include "monsters/monsters.h"
#include "support/console.h"

TEST(NewGame, ResetsTheRecordAndDrawsLevelOne) {
    open_test_console();
    game = GameState{9, 9, 7, 0, 1, 12, 5};
    start_new_game();
    EXPECT_EQ(std::vector<int>({game.dungeon_level, game.hit_points, game.rock_carried,
                                game.potions, game.step_counter}),
              std::vector<int>({1, 3, 0, 0, 0}));
    EXPECT_EQ(count_live_monsters(), 1);
    EXPECT_EQ(console_text(0, 24, 20), "HHH pots:0 dlvl:1   ");
    EXPECT_EQ(TCOD_console_get_char(NULL, game.player_x, game.player_y), '@');
    EXPECT_EQ(console_text(monsters[0].x, monsters[0].y, 1), "M");
}
