// turn_test.cpp -- the player's turn as keys pushed into SDL's queue: what each key press
// does, what it costs the monsters, and what the window shows while the game pauses.
#include <gtest/gtest.h>

#include "display/display.h"
#include "game/game.h"
#include "game/game_state.h"
#include "support/support.h"

namespace {

using Calls = std::vector<std::string>;

// The player stands at (10, 10) in the middle of `around`, row 10 from column 8: '#' a
// rock, '>' stairs, '!' a potion, 'M' a monster, on a rock 'B', on the stairs 'S'. A far monster
// keeps the level from being cleared unless `alone`.
struct TurnCase {
    const char* what;
    const char* around;
    int rock, hit_points, potions;
    bool alone;
    const char* keys;
    Calls calls;
    const char* after;  // row 10 from column 8 afterwards
    const char* message;
    const char* status;
};

const TurnCase TURNS[] = {
    {"a step", "..@..", 0, 3, 0, false, "d", {"step3", "trail light_grey", "monsters"}, "...@.", "", "HHH pots:0 dlvl:1"},
    {"arrows; the trail's shade follows the start cell", "..@..", 0, 3, 0, false, "]]", {"step3", "trail light_grey", "monsters", "step4", "trail grey", "monsters"}, "....@", "", "HHH pots:0 dlvl:1"},
    {"rock picked up: monsters move once", "..@#.", 0, 3, 0, false, "d", {"step3", "sound getrock.wav", "trail light_grey", "monsters"}, "...*.", "got rock", "HHH pots:0 dlvl:1"},
    {"rock carried: monsters move twice", "..@..", 1, 3, 0, false, "d", {"step3", "trail light_grey", "monsters", "monsters"}, "...*.", "", "HHH pots:0 dlvl:1"},
    {"second rock blocks", "..@#.", 1, 3, 0, false, "d", {"step3"}, "..**.", "blocked.", "HHH pots:0 dlvl:1"},
    {"monster blocks empty hands", "..@M.", 0, 3, 0, false, "d", {"step3"}, "..@M.", "blocked.", "HHH pots:0 dlvl:1"},
    {"crush", "..@M.", 1, 3, 0, false, "d", {"step3", "sound squash.wav", "pause 750 *orange squashed!", "monsters"}, "..@*.", "squashed!", "HHH pots:0 dlvl:1"},
    {"monster on a rock: picked up, crushed", "..@B.", 0, 3, 0, false, "d", {"step3", "sound getrock.wav", "sound squash.wav", "pause 750 *orange squashed!", "monsters"}, "..@*.", "squashed!", "HHH pots:0 dlvl:1"},
    {"potion picked up", "..@!.", 0, 3, 0, false, "d", {"step3", "trail light_grey", "sound getpotion.wav", "monsters"}, "...@.", "got potion!", "HHH pots:1 dlvl:1"},
    {"drink and heal", "..@..", 0, 2, 1, false, "1", {"sound heal.wav", "pause 1000 .white healed!", "monsters"}, "..@..", "healed!", "HHH pots:0 dlvl:1"},
    {"drink at full health", "..@..", 0, 3, 2, false, "1", {"monsters"}, "..@..", "no effect!", "HHH pots:1 dlvl:1"},
    {"no potion", "..@..", 0, 3, 0, false, "1", {}, "..@..", "no potion!", "HHH pots:0 dlvl:1"},
    {"keys that do nothing", "..@..", 0, 3, 0, false, "xE2 NDWQ", {}, "..@..", "", "HHH pots:0 dlvl:1"},
    {"staircase", "..@>.", 0, 3, 4, false, "d ", {"step3", "trail light_grey", "sound escape.wav", "prompt next level...", "level 2"}, nullptr, "", "HHH pots:4 dlvl:2"},
    {"crush on the staircase leaves a rock", "..@S.", 1, 3, 0, false, "d", {"step3", "sound squash.wav", "pause 750 *orange squashed!", "monsters"}, "..@*.", "squashed!", "HHH pots:0 dlvl:1"},
    {"last crush collects the potions lying", "..@M!", 1, 3, 255, true, "d ", {"step3", "sound squash.wav", "pause 750 *orange squashed!", "sound escape.wav", "prompt next level...", "level 2"}, nullptr, "", "HHH pots:0 dlvl:2"},
    {"give up: q then y", "..@..", 0, 3, 0, false, "qyN", {"title"}, nullptr, "", nullptr},
    {"give up: q released after the question", "..@..", 0, 3, 0, false, "+q^qyN", {"title"}, nullptr, "", nullptr},
    {"give up: y pressed while q is held", "..@..", 0, 3, 0, false, "+qy^qN", {"title"}, nullptr, "", nullptr},
    {"q then n goes on with nothing spent", "..@..", 0, 3, 0, false, "qnd", {"step3", "trail light_grey", "monsters"}, "...@.", "nevermind", nullptr},
    {"q then x, then y is a key of its own", "..@..", 0, 3, 0, false, "qxy", {}, "..@..", "nevermind", nullptr},
    {"q then Shift+y declines", "..@..", 0, 3, 0, false, "qY", {}, "..@..", "nevermind", nullptr},
};

void set_up(const TurnCase& c) {
    start_test();
    game = GameState{10, 10, 1, static_cast<std::uint8_t>(c.hit_points), static_cast<std::uint8_t>(c.rock),
                     static_cast<std::uint8_t>(c.potions), 3};
    if (!c.alone) monsters[5] = MonsterSlot{39, 0, 2, 1};
    for (int i = 0; i < 5; i++) {
        char what = c.around[i];
        if (what == '#' || what == 'B') terrain_at(8 + i, 10) = TERRAIN_ROCK;
        if (what == '>' || what == 'S') terrain_at(8 + i, 10) = TERRAIN_STAIRS;
        if (what == '!') item_at(8 + i, 10) = 1;
        if (what == 'M' || what == 'B' || what == 'S') monsters[0] = MonsterSlot{std::uint8_t(8 + i), 10, 2, 1};
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
        EXPECT_EQ(calls, c.calls);
        if (c.after) EXPECT_EQ(text(8, 10, 5), c.after);
        EXPECT_EQ(message(), c.message);
        if (c.status) EXPECT_EQ(text(0, 24, 17), c.status);
        if (c.status && c.status[16] == '2') EXPECT_EQ(game.step_counter, 0);
    }
}

TEST(PlayerTurn, MovesByLettersAndArrowsStopAtTheEdges) {
    const struct { int x, y; const char* keys; int at; } MOVES[] = {
        {10, 10, "w", 1009}, {10, 10, "s", 1011}, {10, 10, "a", 910}, {10, 10, "{", 1009},
        {10, 10, "}", 1011}, {10, 10, "[", 910}, {0, 0, "aw[{", 0}, {39, 23, "ds]}", 3923}};
    for (const auto& m : MOVES) {
        start_test();
        game.player_x = m.x, game.player_y = m.y;
        push_keys(m.keys);
        play(run_game);
        EXPECT_EQ(game.player_x * 100 + game.player_y, m.at) << m.keys;
    }
}

// A window closed at the question ends the game at once, in a child (libtcod keeps it closed).
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
        EXPECT_EQ(calls, Calls{});
        EXPECT_EQ(message(), close ? "give up?" : "nevermind");
    };
    ask(false);
    IN_CHILD(ask(true); EXPECT_TRUE(TCOD_console_is_window_closed()));
}

TEST(PlayerTurn, DeathPromptEndsTheGame) {
    start_test();
    game.hit_points = 0;
    push_keys(" ");
    run_game();
    EXPECT_EQ(calls, Calls{"prompt you died!!!"});
    EXPECT_FALSE(TCOD_console_is_window_closed());
}

TEST(NewGame, ResetsTheRecordAndDrawsLevelOne) {
    start_test();
    game = GameState{9, 9, 7, 0, 1, 12, 5};
    start_new_game();
    EXPECT_EQ(calls, Calls{"level 1"});
    EXPECT_EQ(std::vector<int>({game.dungeon_level, game.hit_points, game.rock_carried,
                                game.potions, game.step_counter}),
              std::vector<int>({1, 3, 0, 0, 0}));
    EXPECT_EQ(text(0, 24, 17) + cell(game.player_x, game.player_y), "HHH pots:0 dlvl:1@white");
}
