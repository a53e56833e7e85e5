// monsters_test.cpp -- the monsters' turn on hand-built maps: the screen, the sounds, the pauses.
#include <set>

#include "display/display.h"
#include "game/game_state.h"
#include "monsters/monsters.h"
#include "support/support.h"

// The longer axis first, ties vertical, 0 heads left or up; the other axis only when blocked
// (rock, stairs, edge, live monster); slots move in order; a dead slot lies on the first's way.
TEST(MonsterTurn, StepsTowardThePlayerRoundRocksAndEachOther) {
    struct Move { int slot, x, y, want_x, want_y; };
    using Blocks = std::vector<std::tuple<int, int, char>>;
    const struct { const char* what; int px, py; std::vector<Move> moves; Blocks blocks; }
        STEPS[] = {
        {"a tie: down", 10, 10, {{0, 9, 9, 9, 10}}, {}},
        {"up, never down", 10, 10, {{0, 7, 10, 7, 9}}, {{8, 10, '>'}}},
        {"no third way", 10, 10, {{0, 7, 10, 7, 10}}, {{8, 10, '#'}, {7, 9, '#'}}},
        {"left, never right", 10, 10, {{0, 10, 14, 9, 14}}, {{10, 13, '#'}}},
        {"never off the map", 0, 10, {{0, 0, 14, 0, 14}}, {{0, 13, '#'}}},
        {"the rear follows", 20, 5, {{0, 11, 5, 12, 5}, {1, 10, 5, 11, 5}}, {}},
        {"the rear, first, goes up", 20, 5, {{0, 10, 5, 10, 4}, {24, 11, 5, 12, 5}}, {}},
        {"one stays and is drawn again", 15, 5, {{0, 5, 5, 6, 5}, {1, 5, 5, 5, 5}}, {{5, 4, '#'}}},
    };
    for (const auto& c : STEPS) {
        SCOPED_TRACE(c.what);
        start_test();
        game.player_x = c.px, game.player_y = c.py;
        std::set<int> want, shown;  // cells as x * 100 + y; none shows a monster left behind
        for (const Move& m : c.moves) {
            monsters[m.slot] = MonsterSlot{uint8_t(m.x), uint8_t(m.y), 1, 'k'};
            want.insert(m.want_x * 100 + m.want_y);
        }
        monsters[10] = MonsterSlot{uint8_t(c.moves[0].want_x), uint8_t(c.moves[0].want_y), 0, 1};
        for (auto [x, y, terrain] : c.blocks) terrain_at(x, y) = std::uint8_t(terrain);
        draw_level();
        move_monsters();
        for (int x = 0; x < MAP_WIDTH; x++)
            for (int y = 0; y < MAP_HEIGHT; y++)
                if (cell(x, y) == "kgreen") shown.insert(x * 100 + y);
        EXPECT_EQ(shown, want);
        EXPECT_EQ(calls, "monsters");
    }
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
    EXPECT_EQ(calls, "monsters;ouch.wav;pause 600 *red monster hit!;ouch.wav;"
              "pause 600 *red monster hit!;ouch.wav;pause 600 *red you died!!!;gameover.wav");
    EXPECT_EQ(cell(0, 24) + cell(1, 24) + cell(2, 24), "HgreyHgreyHgrey");
    EXPECT_EQ(cell(10, 10) + cell(10, 19) + cell(11, 10), "*redMgreenMgreen");
    // Each put and message flushed: 3 x (flash, 3 hearts, message), 2 redraws, a 2-cell step.
    EXPECT_EQ(flushes, 3 * (1 + 3 + 1) + 2 + 2);
}
