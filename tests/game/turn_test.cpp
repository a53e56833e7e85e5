// turn_test.cpp -- the player's turn as keys pushed into SDL's queue: what each key press
// does, what it costs the monsters, and what the window shows while the game pauses.
#include <cstring>

#include "display/display.h"
#include "game/game.h"
#include "game/game_state.h"
#include "support/support.h"

// The player stands at (10, 10) in the middle of `around`, row 10 from column 8: '@', or '*'
// carrying a rock; '#' a rock, '>' stairs, '!' a potion, 'M' a monster, on a rock 'B', on the
// stairs 'S'. A far monster keeps the level from being cleared, unless `after` is nullptr.
struct TurnCase {
    const char *what, *around, *keys, *calls;  // calls: ';' between
    const char *after, *message;  // after: row 10 from column 8, nullptr on another screen
    const char* status = nullptr;  // the status row from column 4, where it changes
    std::uint8_t potions = 0, hit_points = 3;
};

const TurnCase TURNS[] = {
    {"rock taken: monsters move once, then twice; the trail's shade follows the start cell",
     "..@#.", "d]", "step3;getrock.wav;~light_grey;monsters;step4;~grey;monsters;monsters",
     "....*", "got rock"},
    {"w, s, a and their arrows step once each", "..@..", "w{s}a[",
     "step3;~light_grey;monsters;step4;~grey;monsters;step5;~light_grey;monsters;step6;~grey;"
     "monsters;step7;~light_grey;monsters;step0;~grey;monsters", "@....", ""},
    {"second rock blocks", "..*#.", "d", "step3", "..**.", "blocked."},
    {"monster blocks empty hands", "..@M.", "d", "step3", "..@M.", "blocked."},
    {"monster on a rock: the rock is taken and crushes it", "..@B.", "d",
     "step3;getrock.wav;squash.wav;pause 750 *orange squashed!;monsters", "..@*.", "squashed!"},
    {"crush on the staircase leaves a rock", "..*S.", "d",
     "step3;squash.wav;pause 750 *orange squashed!;monsters", "..@*.", "squashed!"},
    {"last crush collects the potions lying", "..*M!", "d ",
     "step3;squash.wav;pause 750 *orange squashed!;escape.wav;prompt next level...;level 2",
     nullptr, "", "pots:2 dlvl:2", 1},
    {"staircase", "..@>.", "d ", "step3;~light_grey;escape.wav;prompt next level...;level 2",
     nullptr, "", "pots:4 dlvl:2", 4},
    {"the window closed at the prompt ends the game before the next level", "..@>.", "d!",
     "step3;~light_grey;escape.wav;prompt next level...", nullptr, ""},
    {"potion picked up", "..@!.", "d", "step3;~light_grey;getpotion.wav;monsters", "...@.",
     "got potion!", "pots:1 dlvl:1"},
    {"at full health a potion is spent for nothing", "..@..", "1", "monsters", "..@..",
     "no effect!", "pots:0 dlvl:1", 1},
    {"a potion heals; a hit that does not kill draws the player again", ".M@..", "1",
     "heal.wav;pause 1000 .white healed!;monsters;ouch.wav;pause 600 *red monster hit!",
     ".M@..", "monster hit!", "pots:0 dlvl:1", 1, 2},
    {"keys that do nothing; no potion", "..@..", "xE2 NDWQ1", "", "..@..", "no potion!"},
    {"dead: space ends the game", "..@..", " ", "prompt you died!!!", "..@..", "", nullptr, 0, 0},
    {"give up: y pressed while q is held", "..@..", "+qy^qN", "title", nullptr, ""},
    {"q then n, q then Shift+y: nothing spent; a step then costs one turn", "..@..", "qnqYd",
     "step3;~light_grey;monsters", "...@.", "nevermind"},
    {"Caps Lock: Shift+q asks, y declines", "..@..", "%Qy", "", "..@..", "nevermind"},
    {"the window closed at the question ends the game", "..@..", "q!", "", "..@..", "give up?"},
};

void play_turn_case(const TurnCase& c) {
    start_test();
    game = GameState{10, 10, 1, c.hit_points, c.around[2] == '*', c.potions, 3};
    if (c.after) monsters[5] = MonsterSlot{39, 0, 2, 1};
    for (std::uint8_t x = 8; x < 13; x++) {
        char what = c.around[x - 8];
        if (std::strchr("#B", what)) terrain_at(x, 10) = TERRAIN_ROCK;
        if (std::strchr(">S", what)) terrain_at(x, 10) = TERRAIN_STAIRS;
        if (what == '!') item_at(x, 10) = 1;
        if (std::strchr("MBS", what)) monsters[0] = MonsterSlot{x, 10, 2, 1};
    }
    draw_status_line();
    draw_level();
    push_keys(c.keys);
    play(run_game);
    EXPECT_EQ(calls, c.calls);
    if (c.after) { EXPECT_EQ(text(8, 10, 5), c.after); }
    EXPECT_EQ(message(), c.message);
    if (c.status) { EXPECT_EQ(text(4, 24, 13), c.status); }
    if (c.status && std::strstr(c.status, "dlvl:2")) { EXPECT_EQ(game.step_counter, 0); }
}

TEST(PlayerTurn, EachKeyPressDoesWhatItShould) {
    for (const TurnCase& c : TURNS) {
        SCOPED_TRACE(c.what);
        if (!std::strchr(c.keys, '!')) { play_turn_case(c); continue; }
        // A closed window stays closed: those rows run in a child, which fails after any row has.
        EXPECT_EXIT({ play_turn_case(c); std::exit(testing::Test::HasFailure()); },
                    testing::ExitedWithCode(0), "");
    }
}

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
