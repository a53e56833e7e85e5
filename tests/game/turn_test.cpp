// turn_test.cpp -- the player's turn, one test per rule: keys pushed into SDL's queue, then
// what the game played, paused on and showed.
#include <cstring>

#include "display/display.h"
#include "game/game.h"
#include "game/game_state.h"
#include "support/support.h"

// `around` is row 10 from column 8 as the window shows it, the player in its middle at (10, 10):
// '@', or '*' when carrying a rock; elsewhere '*' is a rock, '>' the stairs, '!' a potion and
// 'M' a monster, 'B' one on a rock and 'S' one on the stairs. A far monster keeps the level
// from being cleared, unless `after` is empty: then the game is on another screen at the end.
// `keys` are SDL's key names, as push_keys takes them. `calls` logs, in order: "step N" a
// footstep at place N of its cycle, a sound's file, "trail" and the shade of the mark left on
// the start cell, "monsters" their turn, "pause MS on" the player's cell and the message shown,
// "prompt" and what it says over the player's cell, "level N" a level built with N monsters,
// "title" the title screen.
struct TurnCase {
    const char *name, *around, *keys, *calls, *after, *message;
    const char* status = "";  // the status row from column 4, where it matters
    std::uint8_t potions = 0, hit_points = 3;
};

const TurnCase TURNS[] = {
    {"TakingARockCostsOneTurnCarryingItTwo", "..@*.", "d Right",
     "step 3, getrock.wav, trail light_grey, monsters, step 4, trail grey, monsters, monsters",
     "....*", "got rock"},
    {"WSAAndTheArrowsStepOnceEach", "..@..", "w Up s Down a Left",
     "step 3, trail light_grey, monsters, step 4, trail grey, monsters, step 5, trail light_grey, "
     "monsters, step 6, trail grey, monsters, step 7, trail light_grey, monsters, step 0, trail grey, "
     "monsters", "@....", ""},
    {"ASecondRockBlocks", "..**.", "d", "step 3", "..**.", "blocked."},
    {"AMonsterBlocksEmptyHands", "..@M.", "d", "step 3", "..@M.", "blocked."},
    {"ARockUnderAMonsterIsTakenAndCrushesIt", "..@B.", "d",
     "step 3, getrock.wav, squash.wav, pause 750 on *orange: squashed!, monsters", "..@*.", "squashed!"},
    {"ACrushOnTheStairsLeavesARock", "..*S.", "d",
     "step 3, squash.wav, pause 750 on *orange: squashed!, monsters", "..@*.", "squashed!"},
    {"TheLastCrushCollectsThePotionsLying", "..*M!", "d Space",
     "step 3, squash.wav, pause 750 on *orange: squashed!, escape.wav, "
     "prompt next level... over .grey, level 2", "", "", "pots:2 dlvl:2", 1},
    {"TheStairsLeadDown", "..@>.", "d Space",
     "step 3, trail light_grey, escape.wav, prompt next level... over >yellow, level 2", "", "",
     "pots:4 dlvl:2", 4},
    {"ClosingTheWindowAtThePromptEndsTheGame", "..@>.", "d close",
     "step 3, trail light_grey, escape.wav, prompt next level... over >yellow", "", ""},
    {"APotionIsPickedUpOffTheMap", "..@!.", "d d",
     "step 3, trail light_grey, getpotion.wav, monsters, step 4, trail grey, monsters", "....@",
     "got potion!", "pots:1 dlvl:1"},
    {"AtFullHealthAPotionIsSpentForNothing", "..@..", "1", "monsters", "..@..", "no effect!",
     "pots:0 dlvl:1", 1},
    {"APotionHealsAndAHitDrawsThePlayerAgain", ".M@..", "1",
     "heal.wav, pause 1000 on .white: healed!, monsters, ouch.wav, pause 600 on *red: monster hit!",
     ".M@..", "monster hit!", "pots:0 dlvl:1", 1, 2},
    {"OtherKeysAndAMissingPotionCostNothing", "..@..", "x Escape 2 Space Return Shift+d Shift+w "
     "Shift+q 1", "", "..@..", "no potion!"},
    {"WhenDeadSpaceEndsTheGame", "..@..", "Space", "prompt you died!!! over @white", "..@..", "", "",
     0, 0},
    {"GivingUpWithYWhileQIsHeld", "..@..", "hold:q y release:q Return", "title", "", ""},
    {"NoOrShiftYAtTheQuestionSpendNothing", "..@..", "q n q Shift+y d",
     "step 3, trail light_grey, monsters", "...@.", "nevermind"},
    {"WithCapsLockYDeclines", "..@..", "CapsLock Shift+q y", "", "..@..", "nevermind"},
    {"ClosingTheWindowAtTheQuestionEndsTheGame", "..@..", "q close", "", "..@..", "give up?"},
};

struct PlayerTurn : testing::TestWithParam<TurnCase> {};

void play_turn_case(const TurnCase& c) {
    start_test();
    game = GameState{10, 10, 1, c.hit_points, c.around[2] == '*', c.potions, 3};
    if (*c.after) monsters[5] = MonsterSlot{39, 0, 2, 1};
    for (std::uint8_t x = 8; x < 13; x++) {
        char what = x == 10 ? '@' : c.around[x - 8];
        if (std::strchr("*B", what)) terrain_at(x, 10) = TERRAIN_ROCK;
        if (std::strchr(">S", what)) terrain_at(x, 10) = TERRAIN_STAIRS;
        if (what == '!') item_at(x, 10) = 1;
        if (std::strchr("MBS", what)) monsters[0] = MonsterSlot{x, 10, 2, 1};
    }
    draw_status_line();
    draw_level();
    push_keys(c.keys);
    play(run_game);
    EXPECT_EQ(calls, c.calls);
    if (*c.after) { EXPECT_EQ(text(8, 10, 5), c.after); }
    EXPECT_EQ(message(), c.message);
    if (*c.status) { EXPECT_EQ(text(4, 24, 13), c.status); }
    if (std::strstr(c.status, "dlvl:2")) { EXPECT_EQ(game.step_counter, 0); }
}

TEST_P(PlayerTurn, Plays) {
    if (!std::strstr(GetParam().keys, "close")) return play_turn_case(GetParam());
    // A closed window stays closed: such a game is played in a child process.
    EXPECT_EXIT({ play_turn_case(GetParam()); std::exit(testing::Test::HasFailure()); },
                testing::ExitedWithCode(0), "");
}
INSTANTIATE_TEST_SUITE_P(Rules, PlayerTurn, testing::ValuesIn(TURNS), RowName());

// Whatever the last game left, a new one starts on level 1 with three hearts, no potion,
// no rock and the footstep cycle at its start.
TEST(NewGame, ResetsTheRecordAndDrawsLevelOne) {
    start_test();
    game = GameState{9, 9, 7, 0, 1, 12, 5};
    start_new_game();
    EXPECT_EQ(calls + " " + cell(2, 24) + text(3, 24, 14), "level 1 Hred pots:0 dlvl:1");
    EXPECT_EQ(cell(game.player_x, game.player_y), "@white");
    EXPECT_EQ(game.rock_carried + game.step_counter, 0);
}

// The hearts show a heal at once, not at the next hit.
TEST(Potion, HealingRedrawsTheHearts) {
    start_test();
    game.hit_points = 2, game.potions = 1;
    draw_status_line();
    draw_level();
    push_keys("1");
    play(run_game);
    EXPECT_EQ(cell(2, 24), "Hred");
}
