// monsters_test.cpp -- the monsters' turn on hand-built maps: where they step, what the
// screen shows, the sounds and the pauses of their hits.
#include <algorithm>
#include <cctype>

#include "display/display.h"
#include "game/game_state.h"
#include "monsters/monsters.h"
#include "support/support.h"

// The map's top-left corner before and after one monsters' turn, as the window shows it: '@' the
// player, a digit the monster of that slot, '*' a rock, '>' the stairs, '.' floor; 'x' a crushed
// monster, which blocks nothing and is not drawn. Rows are separated by '|'.
struct StepCase {
    const char *name, *before, *after;
};

const StepCase STEPS[] = {
    {"ATieStepsDown", "0.|x@", "..|0@"},
    {"BlockedInARowTheyTryUpNeverDown", "....|0>.@|....", "0...|.>.@|...."},
    {"ThereIsNoThirdWay", "*...|0*.@|....", "*...|0*.@|...."},
    {"BlockedInAColumnTheyTryLeftNeverRight", ".@.|...|.*.|.0.", ".@.|...|.*.|0.."},
    {"NeverOffTheMap", "@|.|*|0", "@|.|*|0"},
    {"TheRearFollowsTheFrontInSlotOrder", "10...@", ".10..@"},
    {"TheRearMovingFirstGoesRound", "......|01...@", "0.....|..1..@"},
};

struct MonsterTurn : testing::TestWithParam<StepCase> {};

TEST_P(MonsterTurn, StepsTowardThePlayer) {
    start_test();
    const std::string before = GetParam().before;
    for (int i = 0, x = 0, y = 0; i < int(before.size()); i++, x++) {
        char what = before[i];
        if (what == '|') x = -1, y++;
        if (what == '@') game.player_x = x, game.player_y = y;
        if (what == '*') terrain_at(x, y) = TERRAIN_ROCK;
        if (what == '>') terrain_at(x, y) = TERRAIN_STAIRS;
        MonsterSlot monster{uint8_t(x), uint8_t(y), what != 'x', uint8_t(what)};
        if (std::isdigit(what)) monsters[what - '0'] = monster;
        if (what == 'x') monsters[9] = monster;
    }
    draw_level();
    move_monsters();
    int width = std::min(before.find('|'), before.size());
    std::string after = text(0, 0, width);
    for (int y = 1; y <= std::count(before.begin(), before.end(), '|'); y++)
        after += "|" + text(0, y, width);
    EXPECT_EQ(after, GetParam().after);
    EXPECT_EQ(calls, "monsters");
}
INSTANTIATE_TEST_SUITE_P(Rules, MonsterTurn, testing::ValuesIn(STEPS), RowName());

// Two monsters share a cell: the one that steps away leaves the other drawn where it stays.
TEST(MonsterTurn, OneLeftBehindOnASharedCellIsDrawnAgain) {
    start_test();
    game.player_x = 15, game.player_y = 5;
    terrain_at(5, 4) = TERRAIN_ROCK;
    monsters[0] = monsters[1] = MonsterSlot{5, 5, 1, 'k'};
    draw_level();
    move_monsters();
    EXPECT_EQ(text(5, 5, 2), "kk");
}

// Monsters in reach, one on the player's own cell too, hit in slot order; the third hit
// kills, a fourth monster does nothing, and the others still move.
TEST(MonsterTurn, HitsFlashRedAndTheThirdKills) {
    start_test();
    for (auto [slot, x, y] : {std::tuple{0, 10, 10}, {1, 9, 10}, {2, 10, 11}, {3, 11, 10}})
        monsters[slot] = MonsterSlot{uint8_t(x), uint8_t(y), 1, 1};
    monsters[24] = MonsterSlot{10, 20, 1, 1};
    draw_status_line();
    draw_level();
    flushes = 0;
    move_monsters();
    EXPECT_EQ(calls, "monsters, ouch.wav, pause 600 on *red: monster hit!, ouch.wav, "
              "pause 600 on *red: monster hit!, ouch.wav, pause 600 on *red: you died!!!, gameover.wav");
    EXPECT_EQ(cell(0, 24) + cell(1, 24) + cell(2, 24), "HgreyHgreyHgrey");
    EXPECT_EQ(cell(10, 10) + cell(10, 19) + cell(11, 10), "*redMgreenMgreen");
    // Every put is flushed: 3 x (flash, 3 hearts, message), 2 redraws, a 2-cell step.
    EXPECT_EQ(flushes, 3 * (1 + 3 + 1) + 2 + 2);
}
