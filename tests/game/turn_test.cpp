// turn_test.cpp -- the player's turn as keys pushed into SDL's queue: what each key press
// does, what it costs the monsters, and what the window shows while the game pauses.
#include <gtest/gtest.h>

#include <cstring>

#include "display/display.h"
#include "game/game.h"
#include "game/game_state.h"
#include "support/support.h"

namespace {

// The player stands at (10, 10) in the middle of `around`, row 10 from column 8: '#' a
// rock, '>' stairs, '!' a potion, 'M' a monster, on a rock 'B', on the stairs 'S'. A far
// monster keeps the level from being cleared unless `alone`.
struct TurnCase {
    const char *what, *around, *keys;
    const char* calls;  // ';' between calls
    const char* after;  // row 10 from column 8 afterwards, nullptr on another screen
    const char* message;
    std::uint8_t rock = 0;
    const char* status = nullptr;  // the status row from column 4, where it changes
    std::uint8_t potions = 0, hit_points = 3;
    bool alone = false;
};

const TurnCase TURNS[] = {
    {"rock taken: monsters move once, then twice; the trail's shade follows the start cell",
     "..@#.", "d]", "step3;sound getrock.wav;trail light_grey;monsters;step4;trail grey;"
     "monsters;monsters", "....*", "got rock"},
    {"second rock blocks", "..@#.", "d", "step3", "..**.", "blocked.", 1},
    {"monster blocks empty hands", "..@M.", "d", "step3", "..@M.", "blocked."},
    {"monster on a rock: the rock is taken and crushes it", "..@B.", "d",
     "step3;sound getrock.wav;sound squash.wav;pause 750 *orange squashed!;monsters",
     "..@*.", "squashed!"},
    {"crush on the staircase leaves a rock", "..@S.", "d",
     "step3;sound squash.wav;pause 750 *orange squashed!;monsters", "..@*.", "squashed!", 1},
    {"last crush collects the potions lying", "..@M!", "d ",
     "step3;sound squash.wav;pause 750 *orange squashed!;sound escape.wav;"
     "prompt next level...;level 2", nullptr, "", 1, "pots:0 dlvl:2", 255, 3, true},
    {"staircase", "..@>.", "d ",
     "step3;trail light_grey;sound escape.wav;prompt next level...;level 2", nullptr, "", 0,
     "pots:4 dlvl:2", 4},
    {"potion picked up", "..@!.", "d", "step3;trail light_grey;sound getpotion.wav;monsters",
     "...@.", "got potion!", 0, "pots:1 dlvl:1"},
    {"drink: heal, then no effect at full health", "..@..", "11",
     "sound heal.wav;pause 1000 .white healed!;monsters;monsters", "..@..", "no effect!", 0,
     "pots:0 dlvl:1", 2, 2},
    {"keys that do nothing; no potion", "..@..", "xE2 NDWQ1", "", "..@..", "no potion!"},
    {"dead: space ends the game", "..@..", " ", "prompt you died!!!", "..@..", "", 0, nullptr, 0,
     0},
    {"give up: y pressed while q is held", "..@..", "+qy^qN", "title", nullptr, ""},
    {"q then n goes on with nothing spent", "..@..", "qnd", "step3;trail light_grey;monsters",
     "...@.", "nevermind"},
    {"q then x, then y is a key of its own", "..@..", "qxy", "", "..@..", "nevermind"},
};

void set_up(const TurnCase& c) {
    start_test();
    game = GameState{10, 10, 1, c.hit_points, c.rock, c.potions, 3};
    if (!c.alone) monsters[5] = MonsterSlot{39, 0, 2, 1};
    for (std::uint8_t x = 8; x < 13; x++) {
        char what = c.around[x - 8];
        if (std::strchr("#B", what)) terrain_at(x, 10) = TERRAIN_ROCK;
        if (std::strchr(">S", what)) terrain_at(x, 10) = TERRAIN_STAIRS;
        if (what == '!') item_at(x, 10) = 1;
        if (std::strchr("MBS", what)) monsters[0] = MonsterSlot{x, 10, 2, 1};
    }
    TCOD_console_clear(NULL);
    draw_status_line();
    draw_level();
    calls.clear();
}

}  // namespace

TEST(PlayerTurn, EachKeyPressDoesWhatItShould) {
    for (const TurnCase& c : TURNS) {
        SCOPED_TRACE(c.what);
        set_up(c);
        push_keys(c.keys);
        play(run_game);
        std::string joined;
        for (const std::string& call : calls) joined += (joined.empty() ? "" : ";") + call;
        EXPECT_EQ(joined, c.calls);
        if (c.after) { EXPECT_EQ(text(8, 10, 5), c.after); }
        EXPECT_EQ(message(), c.message);
        if (c.status) { EXPECT_EQ(text(4, 24, 13), c.status); }
        if (c.status && c.status[12] == '2') { EXPECT_EQ(game.step_counter, 0); }
    }
}

TEST(PlayerTurn, MovesByLettersAndArrowsStopAtTheEdges) {
    // Positions as x * 100 + y; a key lost or applied twice moves the player elsewhere.
    const struct { int from; const char* keys; int to; } MOVES[] = {{1010, "w{", 1008},
        {1010, "s}", 1012}, {1010, "a[", 810}, {0, "aw[{", 0}, {3923, "ds]}", 3923}};
    for (const auto& m : MOVES) {
        start_test();
        game.player_x = m.from / 100;
        game.player_y = m.from % 100;
        push_keys(m.keys);
        play(run_game);
        EXPECT_EQ(game.player_x * 100 + game.player_y, m.to) << m.keys;
    }
}

// Caps Lock comes on once the question shows; a window closed there ends the game at once.
TEST(PlayerTurn, CapsLockYDeclinesAndAClosedWindowEndsTheQuestion) {
    auto ask = [](bool close) {
        start_test();
        push_keys("q");
        on_pause = [close] {
            if (pauses.size() > 100) std::exit(2);  // the question never ended
            if (message(true) != "give up?" || pauses.size() != 1) return;
            SDL_SetModState(KMOD_CAPS);
            close ? push_quit() : push_keys("y");
        };
        close ? run_game() : play(run_game);
        EXPECT_EQ(calls, std::vector<std::string>{});
        EXPECT_EQ(message(), close ? "give up?" : "nevermind");
    };
    ask(false);
    IN_CHILD(ask(true); EXPECT_TRUE(TCOD_console_is_window_closed()));
}

TEST(NewGame, ResetsTheRecordAndDrawsLevelOne) {
    start_test();
    game = GameState{9, 9, 7, 0, 1, 12, 5};
    start_new_game();
    EXPECT_EQ(calls, std::vector<std::string>{"level 1"});
    // The status row shows the hit points, potions and level; a rock or steps would not show.
    EXPECT_EQ(game.rock_carried + game.step_counter, 0);
    EXPECT_EQ(text(0, 24, 17) + cell(game.player_x, game.player_y), "HHH pots:0 dlvl:1@white");
}
