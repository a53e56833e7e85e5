// test_monsters.cpp -- the monsters' turn on hand-built maps, checked on the table and on
// the screen, and the two queries on the monster table.
#include <gtest/gtest.h>

#include <cstring>

#include "display/display.h"
#include "game/game_state.h"
#include "monsters/monsters.h"
#include "sound_log.h"
#include "support/console.h"

namespace {

constexpr int UNTOUCHED = 'Z';  // written over a cell to see whether anything redraws it

std::uint8_t byte(int value) { return static_cast<std::uint8_t>(value); }

void place(int slot, int x, int y) { monsters[slot] = MonsterSlot{byte(x), byte(y), 1, 1}; }

void expect_at(int slot, int x, int y) {
    EXPECT_EQ(monsters[slot].x * 100 + monsters[slot].y, x * 100 + y) << "slot " << slot;
}

void expect_glyph(int x, int y, int glyph, TCOD_color_t colour) {
    EXPECT_EQ(TCOD_console_get_char(NULL, x, y), glyph) << "at " << x << "," << y;
    EXPECT_TRUE(same_colour(foreground_at(x, y), colour)) << "colour at " << x << "," << y;
    EXPECT_TRUE(same_colour(background_at(x, y), TCOD_black)) << "background at " << x << "," << y;
}

void expect_monster_drawn(int x, int y, int glyph = 1) { expect_glyph(x, y, glyph, TCOD_green); }

void expect_floor_drawn(int x, int y) {
    expect_glyph(x, y, 219, (x + y) % 2 == 0 ? TCOD_grey : TCOD_dark_grey);
}

// An open floor with no potions and no monsters, the player at (px, py).
void reset(int px, int py) {
    std::memset(map_grid.terrain, TERRAIN_FLOOR, sizeof map_grid.terrain);
    std::memset(map_grid.items, 0, sizeof map_grid.items);
    std::memset(monsters, 0, sizeof monsters);
    game = GameState{byte(px), byte(py), 1, 3, 0, 0, 0};
    sounds_played.clear();
    pauses.clear();
    on_pause = nullptr;
    on_sound = nullptr;
}

// The screen as the game shows it before the monsters' turn.
void show_and_move() {
    TCOD_console_clear(NULL);
    draw_status_line();
    draw_level();
    move_monsters();
}

std::string message_field() { return console_text(MESSAGE_COLUMN, STATUS_ROW, 20); }

class MonsterTurn : public testing::Test {
  protected:
    void SetUp() override {
        open_test_console();
        reset(10, 10);
    }
};

}  // namespace

// The longer axis first, ties to the vertical, a difference of 0 heads left or up, and the
// other axis only when the first is blocked, by rock or by a monster; the slots move in
// order, and a crushed slot ahead is no obstacle.
TEST_F(MonsterTurn, StepsTowardThePlayerRoundRocksAndEachOther) {
    struct Move {
        int slot, x, y, want_x, want_y;
    };
    struct Case {
        const char* what;
        int px, py;
        std::vector<Move> moves;
        std::vector<std::pair<int, int>> rocks;
    };
    const Case cases[] = {
        {"diagonal: down first", 10, 10, {{0, 9, 9, 9, 10}}, {}},
        {"diagonal, below blocked: right", 10, 10, {{0, 9, 9, 10, 9}}, {{9, 10}}},
        {"far in the row", 20, 10, {{0, 7, 10, 8, 10}}, {}},
        {"row blocked: up, never down", 10, 10, {{0, 7, 10, 7, 9}}, {{8, 10}}},
        {"row and above blocked: stays", 10, 10, {{0, 7, 10, 7, 10}}, {{8, 10}, {7, 9}}},
        {"column blocked: left", 10, 10, {{0, 10, 14, 9, 14}}, {{10, 13}}},
        {"column 0 blocked: stuck at the edge", 0, 10, {{0, 0, 14, 0, 14}}, {{0, 13}}},
        {"rear follows the front", 20, 5, {{0, 11, 5, 12, 5}, {1, 10, 5, 11, 5}}, {}},
        {"rear moves first: turns up", 20, 5, {{0, 10, 5, 10, 4}, {24, 11, 5, 12, 5}}, {}},
        {"of two on one cell, the one left behind is redrawn", 15, 5,
         {{0, 5, 5, 6, 5}, {1, 5, 5, 5, 5}}, {{5, 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reset(c.px, c.py);
        bool all_stay = true;
        for (const Move& m : c.moves) {
            monsters[m.slot] = MonsterSlot{byte(m.x), byte(m.y), 1, 'k'};
            all_stay = all_stay && m.x == m.want_x && m.y == m.want_y;
        }
        const Move& first = c.moves[0];
        monsters[10] = MonsterSlot{byte(first.want_x), byte(first.want_y), 0, 1};
        for (auto [x, y] : c.rocks) terrain_at(x, y) = TERRAIN_ROCK;
        show_and_move();
        if (all_stay) {
            TCOD_console_put_char(NULL, first.x, first.y, UNTOUCHED, TCOD_BKGND_NONE);
            move_monsters();
            EXPECT_EQ(TCOD_console_get_char(NULL, first.x, first.y), UNTOUCHED);
        }
        for (const Move& m : c.moves) {
            expect_at(m.slot, m.want_x, m.want_y);
            if (!all_stay) expect_monster_drawn(m.want_x, m.want_y, 'k');
            bool left_empty = true;
            for (const Move& other : c.moves)
                left_empty = left_empty && (other.want_x != m.x || other.want_y != m.y);
            if (left_empty) expect_floor_drawn(m.x, m.y);
        }
        EXPECT_TRUE(sounds_played.empty());
    }
}

// Monsters in reach (and one on the player's cell) hit and stay; the third hit kills, and
// a dead player is hit no more: no sound, no pause, no message.
TEST_F(MonsterTurn, ThreeHitsKillAndAFourthMonsterDoesNothing) {
    place(0, 10, 10);
    place(1, 9, 10);
    place(2, 10, 11);
    place(3, 11, 10);
    place(24, 10, 20);
    auto player_cell = [] {
        std::string cell = console_text(10, 10, 1);
        return same_colour(foreground_at(10, 10), TCOD_red) ? cell + " red" : cell;
    };
    auto red_hearts = [] {
        int red = 0;
        for (int x = 0; x < 3; x++) red += same_colour(foreground_at(x, STATUS_ROW), TCOD_red);
        return red;
    };
    std::vector<std::string> events;
    on_sound = [&](const char* name) { events.push_back(std::string(name) + " " + player_cell()); };
    on_pause = [&] {
        events.push_back(std::to_string(pauses.back()) + " " + player_cell() + " [" +
                         message_field() + "] " + std::to_string(red_hearts()));
    };
    show_and_move();
    std::vector<std::string> expected = {
        "ouch.wav @",
        "600 * red [        monster hit!] 2",
        "ouch.wav @",
        "600 * red [        monster hit!] 1",
        "ouch.wav @",
        "600 * red [         you died!!!] 0",
        "gameover.wav * red",
    };
    EXPECT_EQ(events, expected);
    EXPECT_EQ(game.hit_points, 0);
    expect_glyph(10, 10, '*', TCOD_red);
    expect_at(1, 9, 10);
    expect_at(2, 10, 11);
    expect_at(3, 11, 10);
    expect_monster_drawn(11, 10);
    expect_at(24, 10, 19);
    expect_monster_drawn(10, 19);
}

// The cell left behind is redrawn as the map has it, a monster never enters stairs or rock.
TEST_F(MonsterTurn, MonstersLeaveRocksAndStairsAndNeverEnterThem) {
    reset(20, 10);
    terrain_at(5, 5) = TERRAIN_ROCK;
    place(0, 5, 5);
    terrain_at(5, 8) = TERRAIN_STAIRS;
    item_at(6, 8) = 1;
    place(1, 5, 8);
    terrain_at(6, 12) = TERRAIN_ROCK;
    terrain_at(5, 11) = TERRAIN_STAIRS;
    place(2, 5, 12);
    show_and_move();
    expect_at(0, 6, 5);
    expect_glyph(5, 5, '*', TCOD_orange);
    expect_at(1, 6, 8);
    expect_glyph(5, 8, '>', TCOD_yellow);
    expect_monster_drawn(6, 8);
    EXPECT_EQ(item_at(6, 8), 1);
    expect_at(2, 5, 12);

    move_monsters();
    expect_at(1, 7, 8);
    expect_glyph(6, 8, '!', TCOD_cyan);
}

TEST(MonsterTable, QueriesSeeOnlyLiveSlots) {
    std::memset(monsters, 0, sizeof monsters);
    monsters[1] = MonsterSlot{4, 7, 0, 1};
    EXPECT_EQ(monster_at(4, 7), -1);
    monsters[3] = MonsterSlot{4, 7, 200, 1};
    monsters[7] = MonsterSlot{4, 7, 1, 1};
    EXPECT_EQ(monster_at(4, 7), 3);
    EXPECT_EQ(monster_at(7, 4), -1);
    EXPECT_EQ(count_live_monsters(), 2);
    for (MonsterSlot& slot : monsters) slot.state = 1;
    EXPECT_EQ(count_live_monsters(), 25);
}
