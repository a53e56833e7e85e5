// monsters_test.cpp -- the monsters' turn on hand-built maps, checked on the table, on
// the screen and in the pauses, and the two queries on the monster table.
#include <gtest/gtest.h>

#include "display/display.h"
#include "game/game_state.h"
#include "monsters/monsters.h"
#include "support/support.h"

namespace {

struct Move {
    int slot, x, y, want_x, want_y;
};

// The longer axis first, ties to the vertical, a difference of 0 heads left or up, the
// other axis only when the first is blocked; slots move in order on the table as it is.
const struct {
    const char* what;
    int px, py;
    std::vector<Move> moves;
    std::vector<std::pair<int, int>> rocks;
} STEPS[] = {
    {"diagonal: down first", 10, 10, {{0, 9, 9, 9, 10}}, {}},
    {"diagonal, below blocked: right", 10, 10, {{0, 9, 9, 10, 9}}, {{9, 10}}},
    {"far in the row", 20, 10, {{0, 7, 10, 8, 10}}, {}},
    {"far in the column, from below", 10, 2, {{0, 11, 9, 11, 8}}, {}},
    {"row blocked: up, never down", 10, 10, {{0, 7, 10, 7, 9}}, {{8, 10}}},
    {"row and above blocked: stays", 10, 10, {{0, 7, 10, 7, 10}}, {{8, 10}, {7, 9}}},
    {"column blocked: left", 10, 10, {{0, 10, 14, 9, 14}}, {{10, 13}}},
    {"column 0 blocked: stays at the edge", 0, 10, {{0, 0, 14, 0, 14}}, {{0, 13}}},
    {"rear follows the front", 20, 5, {{0, 11, 5, 12, 5}, {1, 10, 5, 11, 5}}, {}},
    {"rear moves first: turns up", 20, 5, {{0, 10, 5, 10, 4}, {24, 11, 5, 12, 5}}, {}},
    {"of two on one cell, the one left is redrawn", 15, 5, {{0, 5, 5, 6, 5}, {1, 5, 5, 5, 5}}, {{5, 4}}},
};

void show_and_move() {
    TCOD_console_clear(NULL);
    draw_status_line();
    draw_level();
    calls.clear();
    flushes = 0;
    move_monsters();
    calls.erase(calls.begin());  // the call itself
}

}  // namespace

TEST(MonsterTurn, StepsTowardThePlayerRoundRocksAndEachOther) {
    for (const auto& c : STEPS) {
        SCOPED_TRACE(c.what);
        start_test();
        game.player_x = c.px, game.player_y = c.py;
        for (const Move& m : c.moves) monsters[m.slot] = MonsterSlot{uint8_t(m.x), uint8_t(m.y), 1, 'k'};
        monsters[10] = MonsterSlot{uint8_t(c.moves[0].want_x), uint8_t(c.moves[0].want_y), 0, 1};
        for (auto [x, y] : c.rocks) terrain_at(x, y) = TERRAIN_ROCK;
        show_and_move();
        for (const Move& m : c.moves) {
            EXPECT_EQ(monsters[m.slot].x * 100 + monsters[m.slot].y, m.want_x * 100 + m.want_y);
            EXPECT_EQ(cell(m.want_x, m.want_y, true), "kgreen");
            bool left_empty = true;
            for (const Move& other : c.moves) left_empty &= other.want_x != m.x || other.want_y != m.y;
            if (left_empty) EXPECT_NE(cell(m.x, m.y, true), "kgreen");
        }
        EXPECT_EQ(calls, std::vector<std::string>{});
    }
}

// Monsters in reach, one on the player's own cell too, hit in slot order; the third hit
// kills, a fourth monster does nothing, and the others still move.
TEST(MonsterTurn, HitsFlashRedAndTheThirdKills) {
    start_test();
    for (auto [slot, x, y] : {std::tuple{0, 10, 10}, {1, 9, 10}, {2, 10, 11}, {3, 11, 10}, {24, 10, 20}})
        monsters[slot] = MonsterSlot{uint8_t(x), uint8_t(y), 1, 1};
    show_and_move();
    EXPECT_EQ(calls, (std::vector<std::string>{"sound ouch.wav", "pause 600 *red monster hit!",
                                               "sound ouch.wav", "pause 600 *red monster hit!",
                                               "sound ouch.wav", "pause 600 *red you died!!!",
                                               "sound gameover.wav"}));
    EXPECT_EQ(text(0, 24, 3) + cell(0, 24) + cell(2, 24), "HHHHgreyHgrey");
    EXPECT_EQ(cell(10, 10) + cell(10, 19) + cell(11, 10), "*redMgreenMgreen");
    EXPECT_EQ(monsters[3].x * 100 + monsters[3].y, 1110);
    EXPECT_EQ(flushes, 3 * (1 + 3 + 1) + 2 + 2);  // every glyph put and message is flushed at once
    game.hit_points = 2;  // a hit that does not kill: the player is drawn again after the pause
    monsters[1].state = monsters[2].state = monsters[3].state = 0;
    show_and_move();
    EXPECT_EQ(cell(10, 10) + std::to_string(game.hit_points), "@white1");
}

// Rocks and stairs are left redrawn and never entered; a potion is walked over and stays.
TEST(MonsterTurn, LeavesRocksAndStairsAndNeverEntersThem) {
    start_test();
    game.player_x = 20;
    for (auto [x, y, terrain] : {std::tuple{5, 5, '#'}, {5, 8, '>'}, {6, 12, '#'}, {5, 11, '>'}})
        terrain_at(x, y) = static_cast<std::uint8_t>(terrain);
    item_at(6, 8) = 1;
    for (auto [slot, y] : {std::pair{0, 5}, {1, 8}, {2, 12}}) monsters[slot] = MonsterSlot{5, uint8_t(y), 2, 1};
    show_and_move();
    move_monsters();
    EXPECT_EQ(cell(5, 5) + cell(5, 8) + cell(6, 8), "*orange>yellow!cyan");
    EXPECT_EQ(monsters[0].x * 100 + monsters[1].x * 10 + monsters[2].x, 775);
    EXPECT_EQ(item_at(6, 8), 1);
}

TEST(MonsterTable, QueriesSeeOnlyLiveSlots) {
    start_test();
    monsters[1] = MonsterSlot{4, 7, 0, 1};
    EXPECT_EQ(monster_at(4, 7), -1);
    monsters[3] = MonsterSlot{4, 7, 200, 1};
    monsters[7] = MonsterSlot{4, 7, 1, 1};
    EXPECT_EQ(monster_at(4, 7) * 10 + monster_at(7, 4), 29);
    EXPECT_EQ(count_live_monsters(), 2);
    for (MonsterSlot& slot : monsters) slot.state = 1;
    EXPECT_EQ(count_live_monsters(), 25);
}
