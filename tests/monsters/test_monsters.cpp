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

void place(int slot, int x, int y, std::uint8_t glyph = 1) {
    monsters[slot] = MonsterSlot{byte(x), byte(y), 1, glyph};
}

void expect_at(int slot, int x, int y) {
    EXPECT_EQ(monsters[slot].x, x) << "slot " << slot;
    EXPECT_EQ(monsters[slot].y, y) << "slot " << slot;
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

void mark_untouched(int x, int y) { TCOD_console_put_char(NULL, x, y, UNTOUCHED, TCOD_BKGND_NONE); }

int red_hearts() {
    int red = 0;
    for (int x = 0; x < 3; x++) red += same_colour(foreground_at(x, STATUS_ROW), TCOD_red);
    return red;
}

// What the player cell shows: the glyph, and "red" when it is the hit flash's colour.
std::string player_cell() {
    std::string cell = console_text(game.player_x, game.player_y, 1);
    bool red = same_colour(foreground_at(game.player_x, game.player_y), TCOD_red);
    return red ? cell + " red" : cell;
}

class MonsterTurn : public testing::Test {
  protected:
    void SetUp() override {
        open_test_console();
        reset(10, 10);
    }

    // An open floor with no potions and no monsters, the player at (px, py), on screen.
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
};

}  // namespace

TEST_F(MonsterTurn, DiagonalNeighbourStepsDownThenRightThenStays) {
    place(0, 9, 9);
    monsters[1] = MonsterSlot{9, 10, 0, 1};  // a crushed slot is no obstacle
    show_and_move();
    expect_at(0, 9, 10);
    expect_monster_drawn(9, 10);
    expect_floor_drawn(9, 9);
    EXPECT_EQ(game.hit_points, 3);
    EXPECT_TRUE(sounds_played.empty());

    reset(10, 10);
    place(0, 9, 9, 'k');
    terrain_at(9, 10) = TERRAIN_ROCK;
    show_and_move();
    expect_at(0, 10, 9);
    expect_monster_drawn(10, 9, 'k');
    expect_floor_drawn(9, 9);

    reset(10, 10);
    place(0, 9, 9);
    place(1, 10, 9);  // next to the player: hits and stays
    terrain_at(9, 10) = TERRAIN_STAIRS;
    TCOD_console_clear(NULL);
    draw_level();
    mark_untouched(9, 9);
    move_monsters();
    expect_at(0, 9, 9);
    expect_at(1, 10, 9);
    EXPECT_EQ(TCOD_console_get_char(NULL, 9, 9), UNTOUCHED);
    EXPECT_EQ(game.hit_points, 2);
}

TEST_F(MonsterTurn, RockInTheRowTurnsUpNeverDown) {
    place(0, 7, 10);
    terrain_at(8, 10) = TERRAIN_ROCK;
    show_and_move();
    expect_at(0, 7, 9);
    expect_monster_drawn(7, 9);
    expect_floor_drawn(7, 10);

    reset(10, 10);
    place(0, 7, 10);
    terrain_at(8, 10) = TERRAIN_ROCK;
    terrain_at(7, 9) = TERRAIN_ROCK;
    show_and_move();
    expect_at(0, 7, 10);
}

TEST_F(MonsterTurn, RockInTheColumnTurnsLeftAndColumnZeroIsStuck) {
    place(0, 10, 14);
    terrain_at(10, 13) = TERRAIN_ROCK;
    show_and_move();
    expect_at(0, 9, 14);
    expect_monster_drawn(9, 14);
    expect_floor_drawn(10, 14);

    reset(0, 10);
    place(0, 0, 14);
    terrain_at(0, 13) = TERRAIN_ROCK;
    TCOD_console_clear(NULL);
    draw_level();
    mark_untouched(0, 14);
    move_monsters();
    expect_at(0, 0, 14);
    EXPECT_EQ(TCOD_console_get_char(NULL, 0, 14), UNTOUCHED);
}

TEST_F(MonsterTurn, RearMonsterFollowsOnlyWhenTheFrontOneMovesFirst) {
    reset(20, 5);
    place(0, 11, 5);
    place(1, 10, 5);
    show_and_move();
    expect_at(0, 12, 5);
    expect_at(1, 11, 5);
    expect_monster_drawn(12, 5);
    expect_monster_drawn(11, 5);
    expect_floor_drawn(10, 5);

    reset(20, 5);
    place(0, 10, 5);
    place(24, 11, 5);
    show_and_move();
    expect_at(0, 10, 4);
    expect_at(24, 12, 5);
    expect_monster_drawn(10, 4);
    expect_monster_drawn(12, 5);
    expect_floor_drawn(10, 5);
    expect_floor_drawn(11, 5);
}

TEST_F(MonsterTurn, ThreeHitsKillAndAFourthMonsterDoesNothing) {
    place(0, 10, 10);  // on the player's own cell
    place(1, 9, 10);
    place(2, 10, 11);
    place(3, 11, 10);
    place(24, 10, 20);
    std::vector<std::string> events;
    on_sound = [&](const char* name) { events.push_back(std::string(name) + " " + player_cell()); };
    on_pause = [&] {
        events.push_back(std::to_string(pauses.back()) + " " + player_cell() + " [" +
                         console_text(MESSAGE_COLUMN, STATUS_ROW, 20) + "] " +
                         std::to_string(red_hearts()));
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
    EXPECT_EQ(console_text(MESSAGE_COLUMN, STATUS_ROW, 20), "         you died!!!");
    expect_at(3, 11, 10);
    expect_monster_drawn(11, 10);
    expect_at(24, 10, 19);
    expect_monster_drawn(10, 19);
}

TEST_F(MonsterTurn, NoHitOnceHitPointsAreZero) {
    game.hit_points = 0;
    place(0, 10, 9);
    place(1, 15, 10);
    show_and_move();
    EXPECT_EQ(game.hit_points, 0);
    EXPECT_TRUE(sounds_played.empty());
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(console_text(MESSAGE_COLUMN, STATUS_ROW, 20), std::string(20, ' '));
    expect_glyph(10, 10, '@', TCOD_white);
    expect_at(0, 10, 9);
    expect_at(1, 14, 10);
}

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
    expect_at(2, 5, 12);
}

TEST_F(MonsterTurn, OfTwoOnOneCellTheOneLeftBehindStaysInSight) {
    reset(15, 5);
    place(0, 5, 5);
    place(1, 5, 5);
    terrain_at(5, 4) = TERRAIN_ROCK;
    show_and_move();
    expect_at(0, 6, 5);
    expect_at(1, 5, 5);  // blocked by slot 0 ahead and by the rock above
    expect_monster_drawn(6, 5);
    expect_monster_drawn(5, 5);
}

TEST(MonsterTable, QueriesSeeOnlyLiveSlots) {
    std::memset(monsters, 0, sizeof monsters);
    EXPECT_EQ(count_live_monsters(), 0);
    monsters[1] = MonsterSlot{4, 7, 0, 1};
    EXPECT_EQ(monster_at(4, 7), -1);
    monsters[3] = MonsterSlot{4, 7, 200, 1};
    monsters[7] = MonsterSlot{4, 7, 1, 1};
    EXPECT_EQ(monster_at(4, 7), 3);
    EXPECT_EQ(monster_at(7, 4), -1);
    EXPECT_EQ(count_live_monsters(), 2);
    for (MonsterSlot& slot : monsters) slot.state = 1;
    EXPECT_EQ(count_live_monsters(), 25);
    EXPECT_EQ(monster_at(4, 7), 1);
}
